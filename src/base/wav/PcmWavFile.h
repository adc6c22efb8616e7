#pragma once

#include "base/wav/FrameSource.h"
#include "base/wav/WavFormat.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace kestrova {

class PcmWavFile;

struct PcmWavOpenResult {
    std::unique_ptr<PcmWavFile> file; // null when the file cannot be played
    QString error;                    // German, for the user
};

// Reads the sound of a WAV file in any coding the decoder knows (integer PCM,
// float, A-law, µ-law, ADPCM, ...) block by block as interleaved floats in
// [-1, 1]. Only the read buffer is held in memory, so hour-long recordings
// stream. A data chunk cut short (a crashed recording) yields what is there.
class PcmWavFile final : public FrameSource {
public:
    // Only plain files are opened, without waiting (see openRegularFile).
    static PcmWavOpenResult open(const QString& path);
    // Reads from any seekable device (tests use an in-memory buffer).
    static PcmWavOpenResult open(std::unique_ptr<QIODevice> device);

    ~PcmWavFile() override;
    PcmWavFile(const PcmWavFile&) = delete;
    PcmWavFile& operator=(const PcmWavFile&) = delete;

    const WavFormat& format() const { return format_; }
    int sampleRate() const override { return format_.sampleRate; }
    int channels() const override { return format_.channels; }
    std::uint64_t position() const override { return position_; }
    // Positions past the end are moved to the end. Codings the library cannot seek
    // in are decoded from the start instead, so a seek back costs a decoding up to there.
    bool seek(std::uint64_t frame) override;
    std::size_t read(float* out, std::size_t maxFrames) override;

private:
    struct Decoder;

    PcmWavFile(std::unique_ptr<Decoder> decoder, WavFormat format);
    // A new decoder at the start of the same device.
    bool restartDecoder();
    // Decodes and drops frames up to `target`, which is not before the position.
    bool decodeForwardTo(std::uint64_t target);
    std::size_t readDirect(float* out, std::size_t frames);
    std::size_t readMixed(float* out, std::size_t frames);

    std::unique_ptr<Decoder> decoder_;
    WavFormat format_;
    std::uint64_t position_ = 0;
    std::vector<float> fileFrames_; // for mixing many channels to one, and for frames skipped
};

} // namespace kestrova
