#include "base/audio/WavStreamer.h"

#include "base/audio/AudioSink.h"
#include "base/wav/FrameSource.h"

#include <algorithm>

namespace kestrova {

namespace {
constexpr std::size_t kBlockFrames = 4096;
}

WavStreamer::WavStreamer(FrameSource& source, AudioSink& sink) : source_(source), sink_(sink) {}

WavStreamer::~WavStreamer() {
    stop();
}

bool WavStreamer::start(std::uint64_t fromFrame, SoundStart soundStart) {
    stop();
    // Where it already stands, nothing seeks: some codings cannot seek at all.
    const bool placed = fromFrame == source_.position() || source_.seek(fromFrame);
    if (!placed || !sink_.start(source_.sampleRate(), source_.channels(), soundStart)) {
        return false;
    }
    running_ = true;
    endQueued_ = false;
    startFrame_ = source_.position();
    framesWritten_ = 0;
    blockFrames_ = 0;
    blockOffset_ = 0;
    block_.assign(kBlockFrames * static_cast<std::size_t>(source_.channels()), 0.0f);
    pump();
    return true;
}

void WavStreamer::pump() {
    if (!running_ || endQueued_) {
        return;
    }
    const int channels = source_.channels();
    while (true) {
        if (blockOffset_ == blockFrames_) {
            blockFrames_ = source_.read(block_.data(), kBlockFrames);
            blockOffset_ = 0;
            if (blockFrames_ == 0) {
                // End of file, or a read error: either way nothing more will come.
                sink_.finishInput();
                endQueued_ = true;
                return;
            }
        }
        const std::size_t taken =
            sink_.write(block_.data() + blockOffset_ * channels, blockFrames_ - blockOffset_);
        blockOffset_ += taken;
        framesWritten_ += taken;
        if (blockOffset_ < blockFrames_) {
            return; // the sink is full for now
        }
    }
}

std::uint64_t WavStreamer::currentFrame() const {
    if (!running_) {
        return startFrame_;
    }
    return startFrame_ + std::min(sink_.framesPlayed(), framesWritten_);
}

bool WavStreamer::finished() const {
    return running_ && endQueued_ && sink_.framesPlayed() >= framesWritten_;
}

bool WavStreamer::failed() const {
    return running_ && sink_.failed();
}

void WavStreamer::stop() {
    if (running_) {
        startFrame_ = currentFrame();
        sink_.stop();
        running_ = false;
    }
}

} // namespace kestrova
