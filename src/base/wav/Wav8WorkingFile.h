#pragma once

#include "base/wav/WavFormat.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

namespace kestrova {

// A WAV file (8-bit unsigned mono) that grows as samples are appended. The
// samples go to disk with every append and the header sizes follow at least
// every second of sound and on release, so whatever is on disk is a playable
// file even if the program dies, and recover() makes it whole.
class Wav8WorkingFile {
public:
    // Starts an empty file at `path`, replacing any file there.
    bool create(const QString& path, int sampleRate);
    // Only while empty: rewrites the header for another rate.
    bool setSampleRate(int sampleRate);
    // Returns how many samples went to disk (fewer when the disk refuses).
    std::size_t append(std::span<const std::uint8_t> samples);
    // Reads back samples from the open file, so they stay readable even when
    // the file's name has gone from the folder.
    QByteArray read(std::uint32_t from, std::uint32_t count);
    // Closes and deletes the file.
    void discard();
    // Closes the file and leaves it on disk.
    void release();

    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    std::uint32_t samples() const { return samples_; }

    // Makes the header of a file left by a crash agree with its length; its
    // format, with the samples found, when it is one of ours.
    static std::optional<WavFormat> recover(const QString& path);

private:
    bool writeHeader();
    bool writeSizes();

    QFile file_;
    int sampleRate_ = 0;
    std::uint32_t samples_ = 0;
    std::uint32_t sizedSamples_ = 0; // as the header's sizes say
};

} // namespace kestrova
