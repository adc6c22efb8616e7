#include "base/audio/PortAudioSession.h"

#include "base/audio/AlsaConfiguration.h"
#include "base/audio/QuietStderr.h"

#include <cstdio>
#include <portaudio.h>

namespace kestrova {

namespace {
// The first initialisation probes every host API: ALSA lists its cards and
// plugins, JACK looks for a server. Their complaints about what is missing are
// held back; when the initialisation fails they are what explains it.
PaError initialise() {
    QuietStderr quiet;
    const PaError result = Pa_Initialize();
    const QByteArray probing = quiet.release();
    // The probe opened every PCM of ALSA's configuration, and the plugins it loaded
    // (the A52 encoder and the resamplers bring libavcodec and its codecs) stay
    // mapped while the configuration holds them. Nothing is open now: let them go.
    forgetAlsaConfiguration();
    if (result != paNoError) {
        std::fwrite(probing.constData(), 1, static_cast<size_t>(probing.size()), stderr);
        std::fprintf(stderr, "PortAudio: %s\n", Pa_GetErrorText(result));
    }
    return result;
}
} // namespace

PortAudioSession::PortAudioSession() : ok_(initialise() == paNoError) {}

PortAudioSession::~PortAudioSession() {
    if (ok_) {
        Pa_Terminate();
    }
}

void PortAudioSession::renew() {
    if (ok_) {
        Pa_Terminate();
    }
    ok_ = initialise() == paNoError;
}

} // namespace kestrova
