#pragma once

namespace kestrova {

// A descriptor that a thread waiting in poll() can be woken by from another thread:
// it becomes readable once raise() has been called, and stays so.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // -1 when the system gave none; a waiter then wakes only by its timeout.
    int descriptor() const { return descriptor_; }
    void raise() const;

private:
    int descriptor_;
};

} // namespace kestrova
