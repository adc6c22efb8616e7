#pragma once

namespace kestrova {

// Keeps PortAudio initialised while it lives. PortAudio counts nested
// initialisations, so input and output may each hold one.
class PortAudioSession {
public:
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

} // namespace kestrova
