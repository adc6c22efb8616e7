#include "base/wav/Wav8WorkingFile.h"

#include "base/files/RegularFile.h"
#include "base/wav/Wav8Header.h"
#include "base/wav/WavChunks.h"

#include <QtEndian>
#include <algorithm>
#include <unistd.h>

namespace kestrova {

namespace {

bool writeSize(QFile& file, qint64 offset, std::uint32_t value) {
    const quint32 little = qToLittleEndian<quint32>(value);
    return file.seek(offset) && file.write(reinterpret_cast<const char*>(&little), 4) == 4;
}

// The same for the open working file (unbuffered), written at its place without
// moving the file's offset: the samples' end stays where the next append writes,
// and neither needs a seek.
bool writeSizeInPlace(const QFile& file, qint64 offset, std::uint32_t value) {
    const quint32 little = qToLittleEndian<quint32>(value);
    return ::pwrite(file.handle(), &little, sizeof little, static_cast<off_t>(offset)) ==
           static_cast<ssize_t>(sizeof little);
}

// The rate field follows the coding and the channel count in the format chunk.
int readRate(QFile& file, qint64 formatChunk) {
    quint32 little = 0;
    if (!file.seek(formatChunk + 12) || file.read(reinterpret_cast<char*>(&little), 4) != 4) {
        return 0;
    }
    return static_cast<int>(qFromLittleEndian(little));
}

} // namespace

bool Wav8WorkingFile::create(const QString& path, int sampleRate) {
    file_.close();
    file_.setFileName(path);
    sampleRate_ = sampleRate;
    samples_ = 0;
    sizedSamples_ = 0;
    // Unbuffered, so a write the full disk refuses is seen at once rather than
    // counted as done and lost later from the buffer.
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return false;
    }
    if (!writeHeader()) {
        discard();
        return false;
    }
    return true;
}

bool Wav8WorkingFile::setSampleRate(int sampleRate) {
    if (!isOpen() || samples_ != 0) {
        return false;
    }
    sampleRate_ = sampleRate;
    return writeHeader();
}

bool Wav8WorkingFile::writeHeader() {
    const auto header = wav8Header(samples_, sampleRate_);
    const bool ok = file_.seek(0) && file_.write(reinterpret_cast<const char*>(header.data()),
                                                 kWav8HeaderSize) == static_cast<qint64>(kWav8HeaderSize);
    return ok && file_.flush();
}

std::size_t Wav8WorkingFile::append(std::span<const std::uint8_t> samples) {
    if (!isOpen() || samples.empty()) {
        return 0;
    }
    samples = samples.first(std::min<std::size_t>(samples.size(), kWav8MaxSamples - samples_));
    const qint64 end = static_cast<qint64>(kWav8HeaderSize) + samples_;
    if (file_.pos() != end && !file_.seek(end)) {
        return 0;
    }
    const qint64 written =
        file_.write(reinterpret_cast<const char*>(samples.data()), static_cast<qint64>(samples.size()));
    if (written <= 0) {
        return 0;
    }
    samples_ += static_cast<std::uint32_t>(written);
    // Each update of the sizes is two more writes: at the first sound and
    // then once a second of it is enough, as recover() mends a file left by a crash
    // from its length anyway.
    if (sizedSamples_ == 0 ||
        samples_ - sizedSamples_ >= static_cast<std::uint32_t>(std::max(sampleRate_, 1))) {
        writeSizes();
    }
    return static_cast<std::size_t>(written);
}

bool Wav8WorkingFile::writeSizes() {
    sizedSamples_ = samples_;
    return writeSizeInPlace(file_, kWavRiffSizeOffset,
                            samples_ + static_cast<std::uint32_t>(kWav8HeaderSize - 8)) &&
           writeSizeInPlace(file_, kWavDataSizeOffset, samples_);
}

QByteArray Wav8WorkingFile::read(std::uint32_t from, std::uint32_t count) {
    if (!isOpen() || from >= samples_ || !file_.seek(static_cast<qint64>(kWav8HeaderSize) + from)) {
        return {};
    }
    return file_.read(std::min<qint64>(count, samples_ - from));
}

void Wav8WorkingFile::release() {
    if (isOpen() && sizedSamples_ != samples_) {
        writeSizes();
    }
    file_.close();
    samples_ = 0;
    sizedSamples_ = 0;
}

void Wav8WorkingFile::discard() {
    if (file_.isOpen()) {
        file_.close();
    }
    if (!file_.fileName().isEmpty()) {
        QFile::remove(file_.fileName());
    }
    samples_ = 0;
    sizedSamples_ = 0;
}

std::optional<WavFormat> Wav8WorkingFile::recover(const QString& path) {
    // What a crash left is only mended in place when it is a plain file: a link
    // planted in its name would lead the header's sizes into any file.
    const RegularFileOpen opened = openRegularFile(path, RegularFileAccess::Update);
    if (!opened.file) {
        return std::nullopt;
    }
    QFile& file = *opened.file;
    const std::optional<WavLayout> layout = findWavLayout(file);
    if (!layout || !layout->data) {
        return std::nullopt;
    }
    const qint64 dataStart = layout->data->offset + 8;
    const qint64 length = file.size() - dataStart;
    const auto samples = static_cast<std::uint32_t>(std::min<qint64>(length, kWav8MaxSamples));
    if (!writeSize(file, kWavRiffSizeOffset, static_cast<std::uint32_t>(dataStart - 8) + samples) ||
        !writeSize(file, layout->data->offset + 4, samples) || !file.flush()) {
        return std::nullopt;
    }
    WavFormat format;
    format.sampleRate = layout->format ? readRate(file, layout->format->offset) : 0;
    format.channels = format.fileChannels = 1;
    format.frameCount = static_cast<std::uint64_t>(length);
    if (format.sampleRate <= 0) {
        return std::nullopt; // not a capture of ours
    }
    return format;
}

} // namespace kestrova
