#include "base/web/LiveSound.h"

namespace kestrova {

LiveSound::Joining LiveSound::listen() {
    Joining joining = join();
    if (joining.stream && listening_.load() == 1) {
        emit listeningBegan();
    }
    return joining;
}

LiveSound::Joining LiveSound::join() {
    const std::lock_guard lock(mutex_);
    const int rate = rate_.load();
    if (rate == 0) {
        return {.stream = nullptr, .sampleRate = 0, .refusal = Refusal::NoInput};
    }
    std::erase_if(listeners_, [](const std::shared_ptr<EventStream>& stream) { return stream->isGone(); });
    if (listeners_.size() >= mostListeners_) {
        return {.stream = nullptr, .sampleRate = rate, .refusal = Refusal::Full};
    }
    auto stream =
        std::make_shared<EventStream>(QByteArray(), static_cast<qsizetype>(rate) * kMostBehindMs / 1000);
    listeners_.push_back(stream);
    listening_ = listeners_.size();
    return {.stream = stream, .sampleRate = rate, .refusal = Refusal::None};
}

void LiveSound::feed(std::span<const std::uint8_t> samples, int sampleRate) {
    if (listening_.load() == 0 && rate_.load() == sampleRate) {
        return;
    }
    const std::lock_guard lock(mutex_);
    if (rate_.exchange(sampleRate) != sampleRate) {
        endAll();
        return;
    }
    // Not copied here: each listener's buffer takes its own copy.
    const QByteArray block = QByteArray::fromRawData(reinterpret_cast<const char*>(samples.data()),
                                                     static_cast<qsizetype>(samples.size()));
    std::erase_if(listeners_, [&block](const std::shared_ptr<EventStream>& stream) {
        return stream->isGone() || !stream->push(block);
    });
    listening_ = listeners_.size();
}

void LiveSound::inputStopped() {
    if (rate_.load() == 0) {
        return;
    }
    const std::lock_guard lock(mutex_);
    rate_ = 0;
    endAll();
}

std::size_t LiveSound::listeners() const {
    const std::lock_guard lock(mutex_);
    return listeners_.size();
}

void LiveSound::endAll() {
    for (const std::shared_ptr<EventStream>& stream : listeners_) {
        stream->close();
    }
    listeners_.clear();
    listening_ = 0;
}

} // namespace kestrova
