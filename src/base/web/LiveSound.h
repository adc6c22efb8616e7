#pragma once

#include "base/web/EventStream.h"

#include <QObject>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace kestrova {

// The input as it is recorded, for the page's live listeners: each gets the samples
// from the moment it joins, 8-bit unsigned at the input's rate. The input's side only
// copies each block into every listener's bounded buffer, whose lock the server's
// thread holds just to copy out; a listener that lags by more than a couple of seconds
// is dropped. So the recorder never waits for a client, and one that does not read
// costs no more than its buffer. With nobody listening a block costs two atomic reads.
class LiveSound : public QObject {
    Q_OBJECT
public:
    // A listener this far behind is dropped: the page keeps within a second, so it
    // cannot catch up from there anyway.
    static constexpr int kMostBehindMs = 2000;

    enum class Refusal { None, NoInput, Full };
    struct Joining {
        std::shared_ptr<EventStream> stream; // null when refused
        int sampleRate = 0;
        Refusal refusal = Refusal::None;
    };

    explicit LiveSound(std::size_t mostListeners) : mostListeners_(mostListeners) {}

    // On the server's thread: a new listener, refused while the input delivers
    // nothing or every place is taken.
    Joining listen();
    // On the input's thread: each block as it arrives. A change of rate ends every
    // listener; each joins again at the new one.
    void feed(std::span<const std::uint8_t> samples, int sampleRate);
    // On the input's thread: the input was closed or lost; every listener ends.
    void inputStopped();

    std::size_t listeners() const;

signals:
    // From the server's thread: the first listener has joined. The input's side may
    // then hand its blocks over sooner than the recorder needs them.
    void listeningBegan();

private:
    Joining join();
    void endAll();

    const std::size_t mostListeners_;
    mutable std::mutex mutex_; // held only to add, copy in and drop, never to send
    std::vector<std::shared_ptr<EventStream>> listeners_;
    std::atomic<int> rate_{0};
    std::atomic<std::size_t> listening_{0};
};

} // namespace kestrova
