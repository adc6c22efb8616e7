#pragma once

#include "platform/AudioInput.h"

#include <memory>
#include <set>
#include <utility>

namespace kestrova::test {

// What the test feeds; shared by the fake input and the stream it opened.
struct FakeFeed {
    std::vector<std::uint8_t> queued;
    bool failed = false;
};

class FakeInputStream final : public InputStream {
public:
    FakeInputStream(std::shared_ptr<FakeFeed> feed, int rate, int* liveStreams)
        : feed_(std::move(feed)), rate_(rate), liveStreams_(liveStreams) {
        ++*liveStreams_;
    }
    ~FakeInputStream() override { --*liveStreams_; }
    int sampleRate() const override { return rate_; }
    bool failed() const override { return feed_->failed; }
    std::size_t read(std::vector<std::uint8_t>& sink) override {
        const std::size_t count = feed_->queued.size();
        sink.insert(sink.end(), feed_->queued.begin(), feed_->queued.end());
        feed_->queued.clear();
        return count;
    }

private:
    std::shared_ptr<FakeFeed> feed_;
    int rate_;
    int* liveStreams_;
};

// An input whose devices deliver whatever the test feeds. Streams run at the
// requested rate unless `nativeRate` says otherwise.
class FakeInput final : public AudioInput {
public:
    std::vector<InputDeviceInfo> list{{QStringLiteral("Line In"), true}, {QStringLiteral("Mic"), true}};
    std::set<int> failing;
    int nativeRate = 0;
    int opens = 0;
    int liveStreams = 0;
    int lastPosition = -2;
    int lastRate = 0;

    std::vector<InputDeviceInfo> devices() override { return list; }
    std::unique_ptr<InputStream> open(int position, int sampleRate) override {
        lastPosition = position;
        lastRate = sampleRate;
        if (failing.count(position) != 0) {
            return nullptr;
        }
        ++opens;
        feed_ = std::make_shared<FakeFeed>();
        return std::make_unique<FakeInputStream>(feed_, nativeRate != 0 ? nativeRate : sampleRate,
                                                 &liveStreams);
    }

    // Queues samples on the stream opened last.
    void feed(const std::vector<std::uint8_t>& samples) {
        if (feed_) {
            feed_->queued.insert(feed_->queued.end(), samples.begin(), samples.end());
        }
    }
    void feed(std::size_t count, std::uint8_t value) { feed(std::vector<std::uint8_t>(count, value)); }
    // The stream opened last reports that its device gave up.
    void fail() {
        if (feed_) {
            feed_->failed = true;
        }
    }

private:
    std::shared_ptr<FakeFeed> feed_;
};

} // namespace kestrova::test
