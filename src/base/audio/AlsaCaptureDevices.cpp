#include "base/audio/AlsaCaptureDevices.h"

#include <alsa/asoundlib.h>
#include <cstdlib>
#include <memory>

namespace kestrova {

namespace {

constexpr const char* kDefaultDevice = "default";

struct CtlCloser {
    void operator()(snd_ctl_t* ctl) const { snd_ctl_close(ctl); }
};
struct CardInfoFreer {
    void operator()(snd_ctl_card_info_t* info) const { snd_ctl_card_info_free(info); }
};
struct PcmInfoFreer {
    void operator()(snd_pcm_info_t* info) const { snd_pcm_info_free(info); }
};
struct HintsFreer {
    void operator()(void** hints) const { snd_device_name_free_hint(hints); }
};
// ALSA hands its hint texts out from malloc.
struct TextFreer {
    void operator()(char* text) const { std::free(text); } // NOLINT(cppcoreguidelines-no-malloc)
};
using HintText = std::unique_ptr<char, TextFreer>;

void addCardDevices(int card, std::vector<AlsaCaptureDevice>& devices) {
    const QByteArray cardName = "hw:" + QByteArray::number(card);
    snd_ctl_t* opened = nullptr;
    if (snd_ctl_open(&opened, cardName.constData(), 0) < 0) {
        return;
    }
    const std::unique_ptr<snd_ctl_t, CtlCloser> ctl(opened);
    snd_ctl_card_info_t* cardAllocated = nullptr;
    if (snd_ctl_card_info_malloc(&cardAllocated) < 0) {
        return;
    }
    const std::unique_ptr<snd_ctl_card_info_t, CardInfoFreer> cardInfo(cardAllocated);
    snd_pcm_info_t* pcmAllocated = nullptr;
    if (snd_pcm_info_malloc(&pcmAllocated) < 0) {
        return;
    }
    const std::unique_ptr<snd_pcm_info_t, PcmInfoFreer> pcmInfo(pcmAllocated);
    if (snd_ctl_card_info(ctl.get(), cardInfo.get()) < 0) {
        return;
    }
    const QString shownCard = QString::fromUtf8(snd_ctl_card_info_get_name(cardInfo.get()));
    int device = -1;
    while (snd_ctl_pcm_next_device(ctl.get(), &device) == 0 && device >= 0) {
        snd_pcm_info_set_device(pcmInfo.get(), static_cast<unsigned int>(device));
        snd_pcm_info_set_subdevice(pcmInfo.get(), 0);
        snd_pcm_info_set_stream(pcmInfo.get(), SND_PCM_STREAM_CAPTURE);
        if (snd_ctl_pcm_info(ctl.get(), pcmInfo.get()) < 0) {
            continue;
        }
        const QByteArray address = cardName + ',' + QByteArray::number(device);
        devices.push_back({QStringLiteral("%1: %2 (%3)")
                               .arg(shownCard, QString::fromUtf8(snd_pcm_info_get_name(pcmInfo.get())),
                                    QString::fromLatin1(address)),
                           "plug" + address});
    }
}

// A plugin of the configuration by its plain name; the hints with arguments
// ("hw:CARD=...", "front:...") are the cards' devices again.
bool isRecordingPlugin(const char* name, const char* direction) {
    const QByteArray plain(name);
    return !plain.contains(':') && plain != "null" && plain != kDefaultDevice &&
           (direction == nullptr || QByteArray(direction) == "Input");
}

void addPlugins(std::vector<AlsaCaptureDevice>& devices) {
    void** found = nullptr;
    if (snd_device_name_hint(-1, "pcm", &found) < 0) {
        return;
    }
    const std::unique_ptr<void*, HintsFreer> hints(found);
    for (void** hint = hints.get(); *hint != nullptr; ++hint) {
        const HintText name(snd_device_name_get_hint(*hint, "NAME"));
        const HintText direction(snd_device_name_get_hint(*hint, "IOID"));
        if (name && isRecordingPlugin(name.get(), direction.get())) {
            devices.push_back({QString::fromUtf8(name.get()), QByteArray(name.get())});
        }
    }
}

} // namespace

std::vector<AlsaCaptureDevice> alsaCaptureDevices() {
    std::vector<AlsaCaptureDevice> devices{{QString::fromLatin1(kDefaultDevice), kDefaultDevice}};
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        addCardDevices(card, devices);
    }
    addPlugins(devices);
    return devices;
}

} // namespace kestrova
