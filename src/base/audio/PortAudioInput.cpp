#include "base/audio/PortAudioInput.h"

#include "base/audio/PortAudioInputStream.h"
#include "base/audio/QuietStderr.h"

#include <algorithm>
#include <portaudio.h>

namespace kestrova {

namespace {

constexpr int kProbeRate = 11025;

bool isInputOnAlsa(const PaDeviceInfo* info) {
    if (info == nullptr || info->maxInputChannels < 1) {
        return false;
    }
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    return host != nullptr && host->type == paALSA;
}

} // namespace

PortAudioInput::PortAudioInput() {
    if (session_.ok()) {
        confirmed_.assign(static_cast<std::size_t>(std::max(Pa_GetDeviceCount(), 0)), false);
    }
}

bool PortAudioInput::canRecord(int device) {
    const auto index = static_cast<std::size_t>(device);
    if (index >= confirmed_.size()) {
        return false;
    }
    if (!confirmed_[index]) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        PaStreamParameters parameters{};
        parameters.device = device;
        parameters.channelCount = 1;
        parameters.sampleFormat = paUInt8;
        parameters.suggestedLatency = info->defaultHighInputLatency;
        confirmed_[index] = Pa_IsFormatSupported(&parameters, nullptr, kProbeRate) == paFormatIsSupported;
    }
    return confirmed_[index];
}

std::vector<InputDeviceInfo> PortAudioInput::devices() {
    std::vector<InputDeviceInfo> list;
    for (int device = 0; device < static_cast<int>(confirmed_.size()); ++device) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (isInputOnAlsa(info)) {
            list.push_back({QString::fromUtf8(info->name).trimmed(), canRecord(device)});
        }
    }
    return list;
}

std::vector<int> PortAudioInput::recordableDevices() {
    std::vector<int> found;
    for (int device = 0; device < static_cast<int>(confirmed_.size()); ++device) {
        if (isInputOnAlsa(Pa_GetDeviceInfo(device)) && canRecord(device)) {
            found.push_back(device);
        }
    }
    return found;
}

std::unique_ptr<InputStream> PortAudioInput::open(int position, int sampleRate) {
    if (!session_.ok()) {
        return nullptr;
    }
    // A device that is not there (a sound server not yet started) is tried every
    // second; what ALSA and its plugins print about it each time is no news.
    QuietStderr quiet;
    if (position == -1) {
        const int device = Pa_GetDefaultInputDevice();
        return device != paNoDevice ? PortAudioInputStream::open(device, sampleRate)
                                    : PortAudioInputStream::openAlsaDefault(sampleRate);
    }
    const std::vector<int> recordable = recordableDevices();
    if (position < 0 || position >= static_cast<int>(recordable.size())) {
        return nullptr;
    }
    return PortAudioInputStream::open(recordable[static_cast<std::size_t>(position)], sampleRate);
}

} // namespace kestrova
