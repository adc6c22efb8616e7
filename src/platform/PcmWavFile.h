#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace kestrova {

struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;      // 1 or 2
    int bitsPerSample = 0; // 8 (unsigned), 16, 24 or 32 (signed)
    int bytesPerFrame = 0;
    std::uint64_t frameCount = 0;
};

class PcmWavFile;

struct PcmWavOpenResult {
    std::unique_ptr<PcmWavFile> file; // null when the file cannot be played
    QString error;
};

// Reads the samples of a PCM WAV file block by block as interleaved floats in
// [-1, 1). Only the read buffer is held in memory, so hour-long recordings stream.
class PcmWavFile {
public:
    static PcmWavOpenResult open(const QString& path);
    // Reads from any seekable device (tests use an in-memory buffer).
    static PcmWavOpenResult open(std::unique_ptr<QIODevice> device);

    ~PcmWavFile();
    PcmWavFile(const PcmWavFile&) = delete;
    PcmWavFile& operator=(const PcmWavFile&) = delete;

    const PcmFormat& format() const { return format_; }
    std::uint64_t position() const { return position_; }
    // Positions past the end are moved to the end.
    bool seek(std::uint64_t frame);
    // Fills `out` with up to maxFrames frames (channels() floats each); returns the
    // frames read, 0 at the end or when the device fails.
    std::size_t read(float* out, std::size_t maxFrames);

private:
    PcmWavFile(std::unique_ptr<QIODevice> device, PcmFormat format, std::int64_t dataOffset);

    std::unique_ptr<QIODevice> device_;
    PcmFormat format_;
    std::int64_t dataOffset_ = 0;
    std::uint64_t position_ = 0;
    std::vector<unsigned char> bytes_;
};

} // namespace kestrova
