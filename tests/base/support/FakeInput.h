#pragma once

#include "base/audio/AudioInput.h"
#include "support/FakeInputStream.h"

#include <memory>
#include <set>
#include <utility>

namespace kestrova::test {

// Several input devices for the tests of the capture devices: some refuse to open, streams
// run at the requested rate unless `nativeRate` says otherwise, and a count of the open ones
// shows that none is left behind.
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
        feed_ = std::make_shared<FakeInputFeed>();
        return std::make_unique<FakeInputStream>(feed_, nativeRate != 0 ? nativeRate : sampleRate,
                                                 &liveStreams);
    }

    // Queues samples on the stream opened last.
    void feed(const std::vector<std::uint8_t>& samples) {
        if (feed_) {
            feed_->pending.insert(feed_->pending.end(), samples.begin(), samples.end());
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
    std::shared_ptr<FakeInputFeed> feed_;
};

} // namespace kestrova::test
