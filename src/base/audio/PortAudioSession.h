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
    // Lets go of PortAudio and takes it again. When nothing else holds it (no stream
    // of ours is open), PortAudio is terminated and lists the devices afresh;
    // otherwise its list stays as it is.
    void renew();

private:
    bool ok_ = false;
};

} // namespace kestrova
