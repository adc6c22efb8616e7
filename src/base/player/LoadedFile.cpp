#include "base/player/LoadedFile.h"

#include "base/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace kestrova {

void LoadedFile::dropFolder() {
    if (current_.endsWith(QLatin1Char('\\')) || current_.endsWith(QLatin1Char('/'))) {
        current_.clear();
    }
}

namespace {

// Nothing when the file could not be opened. Only plain files: a pipe or a device
// could block the open or the reads.
std::optional<WaveHeaderVerdict> parsePlainFile(const QFileInfo& about, WaveInfo& info) {
    const RegularFileOpen opened = openRegularFile(about.filePath());
    if (!opened.file) {
        return std::nullopt;
    }
    return parseWaveHeader(*opened.file, info);
}

} // namespace

WaveHeaderVerdict LoadedFile::readHeader(const QString& path) {
    lastReading_.reset();
    const QFileInfo about(path);
    const std::optional<WaveHeaderVerdict> verdict = parsePlainFile(about, info_);
    if (!verdict) {
        return WaveHeaderVerdict::Unreadable;
    }
    lastReading_ = Reading{path, about.size(), about.lastModified(), *verdict, info_};
    return *verdict;
}

WaveHeaderVerdict LoadedFile::verdictOf(const QString& path) {
    WaveInfo scratch;
    return parsePlainFile(QFileInfo(path), scratch).value_or(WaveHeaderVerdict::Unreadable);
}

// A passed header fills every field; a rejected one only some, so its verdict
// stands for a new read only while the fields still hold what it left.
bool LoadedFile::matchesLastReading(const QString& path) const {
    if (!lastReading_ || lastReading_->path != path) {
        return false;
    }
    const QFileInfo about(path);
    const bool unchanged = about.isFile() && about.size() == lastReading_->size &&
                           about.lastModified() == lastReading_->modified;
    return unchanged && (lastReading_->verdict == WaveHeaderVerdict::Valid || info_ == lastReading_->info);
}

WaveHeaderVerdict LoadedFile::readHeaderAgain(const QString& path) {
    if (!matchesLastReading(path)) {
        return readHeader(path);
    }
    info_ = lastReading_->info;
    const WaveHeaderVerdict verdict = lastReading_->verdict;
    lastReading_.reset();
    return verdict;
}

void LoadedFile::accept(const QString& path) {
    loaded_ = path;
    playSecondsText_ = completeWaveInfo(info_);
}

} // namespace kestrova
