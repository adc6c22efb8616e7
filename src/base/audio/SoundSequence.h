#pragma once

#include "base/wav/FrameSource.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace kestrova {

class PcmWavFile;
class Resampler;

// Sound files played in turn with a pause between any two, as one sound at the
// rate and channel count of the first file that plays: written into one stream,
// the pauses are heard exactly as long as they are meant to be, whatever the
// sound server takes to start a stream.
class SoundSequence final : public FrameSource {
public:
    // A file that cannot be played is left out and its pause stays; null when no
    // file plays at all.
    static std::unique_ptr<SoundSequence> open(const QStringList& paths, int pauseMs);
    ~SoundSequence() override;
    SoundSequence(const SoundSequence&) = delete;
    SoundSequence& operator=(const SoundSequence&) = delete;

    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    std::uint64_t position() const override { return position_; }
    // Only where it stands: the sequence is played from its start.
    bool seek(std::uint64_t frame) override { return frame == position_; }
    std::size_t read(float* out, std::size_t maxFrames) override;

private:
    struct Part;
    SoundSequence(std::vector<Part> parts, int rate, int channels);
    std::size_t readFile(Part& part, float* out, std::size_t maxFrames);
    // The next block of the part's file, in the sequence's channels; false at its end.
    bool takeBlock(Part& part);

    std::vector<Part> parts_;
    std::size_t current_ = 0;
    int rate_;
    int channels_;
    std::uint64_t position_ = 0;
    std::vector<float> fileBlock_;  // as the file delivers it
    std::vector<float> pending_;    // in the sequence's channels, at the file's rate
    std::size_t pendingOffset_ = 0; // frames of pending_ already converted
};

} // namespace kestrova
