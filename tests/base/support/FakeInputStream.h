#pragma once

#include "base/audio/AudioInput.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace kestrova::test {

// What the test hands to an open input stream; shared by the fake input and the stream it opened,
// so the test still sees it after the stream is gone.
struct FakeInputFeed {
    std::vector<std::uint8_t> pending;
    bool failed = false;
    bool closed = false;
};

// An open input stream that delivers whatever the test queued on its feed.
class FakeInputStream final : public InputStream {
public:
    // `liveStreams`, when given, counts the streams open at a time.
    FakeInputStream(std::shared_ptr<FakeInputFeed> feed, int rate, int* liveStreams = nullptr)
        : feed_(std::move(feed)), rate_(rate), liveStreams_(liveStreams) {
        if (liveStreams_ != nullptr) {
            ++*liveStreams_;
        }
    }
    ~FakeInputStream() override {
        feed_->closed = true;
        if (liveStreams_ != nullptr) {
            --*liveStreams_;
        }
    }
    FakeInputStream(const FakeInputStream&) = delete;
    FakeInputStream& operator=(const FakeInputStream&) = delete;

    int sampleRate() const override { return rate_; }
    bool failed() const override { return feed_->failed; }
    std::size_t read(std::vector<std::uint8_t>& sink) override {
        const std::size_t count = feed_->pending.size();
        sink.insert(sink.end(), feed_->pending.begin(), feed_->pending.end());
        feed_->pending.clear();
        return count;
    }

private:
    std::shared_ptr<FakeInputFeed> feed_;
    int rate_;
    int* liveStreams_;
};

} // namespace kestrova::test
