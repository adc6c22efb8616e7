#include "platform/PortAudioSession.h"

#include <portaudio.h>

namespace kestrova {

PortAudioSession::PortAudioSession() : ok_(Pa_Initialize() == paNoError) {}

PortAudioSession::~PortAudioSession() {
    if (ok_) {
        Pa_Terminate();
    }
}

} // namespace kestrova
