#include "base/audio/PortAudioInput.h"

#include "base/audio/AlsaConfiguration.h"
#include "base/audio/PortAudioInputStream.h"
#include "base/audio/QuietStderr.h"
#include "base/desktop/SteadyClock.h"

#include <algorithm>
#include <optional>
#include <portaudio.h>

namespace kestrova {

namespace {

constexpr int kProbeRate = 11025;
// How often a device missing from PortAudio's list has it list them again.
constexpr qint64 kFirstListingIntervalMs = 10'000;
constexpr qint64 kLongestListingIntervalMs = 3'600'000;

bool isInputOnAlsa(const PaDeviceInfo* info) {
    if (info == nullptr || info->maxInputChannels < 1) {
        return false;
    }
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    return host != nullptr && host->type == paALSA;
}

QString nameOf(const PaDeviceInfo* info) {
    return QString::fromUtf8(info->name).trimmed();
}

// The device's number in PortAudio's list as it stands now; paNoDevice when it is missing.
int currentIndex(const QString& name) {
    const int count = std::max(Pa_GetDeviceCount(), 0);
    for (int device = 0; device < count; ++device) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (isInputOnAlsa(info) && nameOf(info) == name) {
            return device;
        }
    }
    return paNoDevice;
}

} // namespace

PortAudioInput::PortAudioInput() {
    if (!session_.ok()) {
        return;
    }
    const int count = std::max(Pa_GetDeviceCount(), 0);
    for (int device = 0; device < count; ++device) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (isInputOnAlsa(info)) {
            listed_.push_back({nameOf(info)});
        }
    }
}

bool PortAudioInput::canRecord(Listed& device) const {
    if (device.confirmed || !session_.ok()) {
        return device.confirmed;
    }
    const int index = currentIndex(device.name);
    if (index == paNoDevice) {
        return false;
    }
    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 1;
    parameters.sampleFormat = paUInt8;
    parameters.suggestedLatency = Pa_GetDeviceInfo(index)->defaultHighInputLatency;
    device.confirmed = Pa_IsFormatSupported(&parameters, nullptr, kProbeRate) == paFormatIsSupported;
    return device.confirmed;
}

std::vector<InputDeviceInfo> PortAudioInput::devices() {
    std::vector<InputDeviceInfo> list;
    for (Listed& device : listed_) {
        list.push_back({device.name, canRecord(device)});
    }
    return list;
}

std::optional<QString> PortAudioInput::recordableName(int position) {
    int recordable = 0;
    for (Listed& device : listed_) {
        if (canRecord(device) && recordable++ == position) {
            return device.name;
        }
    }
    return std::nullopt;
}

std::unique_ptr<InputStream> PortAudioInput::open(int position, int sampleRate) {
    const std::optional<QString> name = position == -1 ? std::nullopt : recordableName(position);
    if (position != -1 && !name) {
        return nullptr;
    }
    // A device that is not there (a sound server not yet started) is tried every
    // second; what ALSA and its plugins print about it each time is no news.
    QuietStderr quiet;
    const int device = !session_.ok() ? paNoDevice : name ? currentIndex(*name) : Pa_GetDefaultInputDevice();
    std::unique_ptr<InputStream> stream;
    if (device != paNoDevice) {
        stream = PortAudioInputStream::open(device, sampleRate);
    } else if (!name) {
        stream = PortAudioInputStream::openAlsaDevice("default", sampleRate);
    }
    if (stream) {
        listingIntervalMs_ = 0;
        return stream;
    }
    // For the next try: ALSA reads its configuration again (cheap, and what finds a
    // sound server behind "default"), and a device missing from PortAudio's list has
    // PortAudio list them again.
    forgetAlsaConfiguration();
    if (device == paNoDevice) {
        listAgainWhenDue();
    }
    return nullptr;
}

// PortAudio lists the devices again only while no stream of ours holds it; a probe
// costs a tenth of a second or more and a few kilobytes that the plugins keep, so a
// device missing for days is looked for less and less often.
void PortAudioInput::listAgainWhenDue() {
    const qint64 now = steadyMilliseconds();
    if (listingIntervalMs_ == 0) {
        listingIntervalMs_ = kFirstListingIntervalMs;
        nextListingMs_ = now + listingIntervalMs_;
        return;
    }
    if (now < nextListingMs_) {
        return;
    }
    session_.renew();
    listingIntervalMs_ = std::min(listingIntervalMs_ * 2, kLongestListingIntervalMs);
    nextListingMs_ = now + listingIntervalMs_;
}

} // namespace kestrova
