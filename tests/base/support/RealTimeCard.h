#pragma once

#include "base/audio/AudioSink.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <utility>

namespace kestrova::test {

// A sound card that plays in real time: every tick of its own timer (in whatever
// event loop runs) it takes the frames due since the last one from a short queue,
// and a frame is heard `latencyMs` after it was taken. Each heard frame is counted
// as keyed or not by asking `keyed` at the moment it is heard.
class RealTimeCard final : public AudioSink {
public:
    explicit RealTimeCard(std::function<bool()> keyed, int latencyMs = 0)
        : keyed_(std::move(keyed)), latencyMs_(latencyMs) {
        tick_.setInterval(5);
        tick_.callOnTimeout([this] { play(); });
    }

    bool start(int sampleRate, int /*channels*/, SoundStart /*soundStart*/) override {
        stop();
        rate_ = sampleRate;
        written_ = taken_ = heard_ = 0;
        finished_ = false;
        taking_.clear();
        clock_.start();
        lastTick_ = 0;
        tick_.start();
        return true;
    }
    std::size_t write(const float* /*frames*/, std::size_t frameCount) override {
        if (!tick_.isActive() || finished_) {
            return 0;
        }
        const std::size_t room = static_cast<std::size_t>(rate_ / 5) - (written_ - taken_); // 200 ms queue
        const std::size_t n = std::min(frameCount, room);
        written_ += n;
        return n;
    }
    void finishInput() override { finished_ = true; }
    std::uint64_t framesPlayed() const override { return heard_; }
    bool failed() const override { return false; }
    void stop() override {
        if (tick_.isActive()) {
            play();
            tick_.stop();
        }
    }

    // Over all streams since the card was made.
    std::uint64_t heardKeyed = 0;
    std::uint64_t heardUnkeyed = 0;

private:
    void play() {
        const qint64 now = clock_.elapsed();
        const auto due = static_cast<std::uint64_t>((now - lastTick_) * rate_ / 1000);
        if (due > 0) {
            lastTick_ = now;
            taken_ += std::min<std::uint64_t>(due, written_ - taken_);
            taking_.emplace_back(now, taken_);
        }
        std::uint64_t heard = heard_;
        while (!taking_.empty() && taking_.front().first + latencyMs_ <= now) {
            heard = taking_.front().second;
            taking_.pop_front();
        }
        (keyed_() ? heardKeyed : heardUnkeyed) += heard - heard_;
        heard_ = heard;
    }

    std::function<bool()> keyed_;
    int latencyMs_;
    QTimer tick_;
    QElapsedTimer clock_;
    qint64 lastTick_ = 0;
    int rate_ = 8000;
    bool finished_ = false;
    std::uint64_t written_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t heard_ = 0;
    // When frames were taken: (ms since start, frames taken by then).
    std::deque<std::pair<qint64, std::uint64_t>> taking_;
};

} // namespace kestrova::test
