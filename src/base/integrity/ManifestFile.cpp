#include "base/integrity/ManifestFile.h"

#include "base/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace kestrova {

bool ManifestReading::endsInCutOffLine() const {
    return !problems.isEmpty() && problems.last().kind == ManifestProblem::Kind::CutOff;
}

namespace {

struct RawLine {
    QByteArray text; // without its line end; empty when too long
    bool ended = false;
    bool tooLong = false;
};

// One line, at most a little over the limit of it held; the rest of a longer line
// is read and dropped. (readLine takes one byte less than it is given.)
RawLine nextLine(QIODevice& device) {
    constexpr qint64 kChunk = kLongestManifestLine + 2;
    RawLine line;
    line.text = device.readLine(kChunk);
    line.ended = line.text.endsWith('\n');
    if (line.ended) {
        line.text.chop(1);
    }
    if (line.text.size() <= kLongestManifestLine && (line.ended || device.atEnd())) {
        return line;
    }
    line.tooLong = true;
    line.text.clear();
    while (!line.ended && !device.atEnd()) {
        line.ended = device.readLine(kChunk).endsWith('\n');
    }
    return line;
}

void addLine(ManifestReading& reading, const RawLine& raw, const QByteArray& soughtLineHash) {
    ++reading.lineCount;
    reading.endsOpen = !raw.ended;
    if (raw.tooLong) {
        reading.problems.append({ManifestProblem::Kind::TooLong, reading.lineCount});
        return;
    }
    if (!raw.ended) {
        reading.problems.append({ManifestProblem::Kind::CutOff, reading.lineCount});
        return;
    }
    const std::optional<ManifestLine> line = parseManifestLine(raw.text);
    if (!line) {
        reading.problems.append({ManifestProblem::Kind::Damaged, reading.lineCount});
        return;
    }
    if (reading.lastHash.isEmpty()) {
        reading.firstPreviousHash = line->previousHash;
        reading.firstGoodLine = reading.lineCount;
    } else if (line->previousHash != reading.lastHash) {
        reading.problems.append({ManifestProblem::Kind::ChainBroken, reading.lineCount});
    }
    reading.entries.append({line->entry, reading.lineCount});
    reading.lastHash = line->lineHash;
    if (reading.soughtLine == 0 && !soughtLineHash.isEmpty() && line->lineHash == soughtLineHash) {
        reading.soughtLine = reading.lineCount;
    }
}

} // namespace

ManifestReading readManifest(QIODevice& device, const QByteArray& soughtLineHash) {
    ManifestReading reading;
    while (!device.atEnd()) {
        addLine(reading, nextLine(device), soughtLineHash);
    }
    return reading;
}

std::optional<ManifestReading> readManifestFile(const QString& path, const QByteArray& soughtLineHash) {
    if (QFileInfo(path).isSymLink()) {
        return std::nullopt;
    }
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return std::nullopt;
    }
    return readManifest(*opened.file, soughtLineHash);
}

bool forEachManifestEntry(const QString& path, const std::function<void(const ManifestEntry&)>& visit) {
    if (QFileInfo(path).isSymLink()) {
        return false;
    }
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return false;
    }
    QIODevice& device = *opened.file;
    while (!device.atEnd()) {
        // As readManifest takes them: an ended line within the limit that parses.
        const RawLine raw = nextLine(device);
        if (raw.tooLong || !raw.ended) {
            continue;
        }
        if (const std::optional<ManifestLine> line = parseManifestLine(raw.text)) {
            visit(line->entry);
        }
    }
    return true;
}

} // namespace kestrova
