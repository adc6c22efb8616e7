#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace kestrova {

// A capture device as ALSA knows it, found without opening it.
struct AlsaCaptureDevice {
    // Shown and matched: "USB Audio Device: USB Audio (hw:1,0)", named as PortAudio names
    // a card's device (the player's output is sought on the same card by it); "pulse"
    // for a plugin.
    QString name;
    // What is opened: "plughw:1,0" (ALSA converts the format), "pulse".
    QByteArray alsaName;
};

// The devices that can record, found without opening any: "default" first, then the
// cards' capture devices as their control interface tells them, then the plugins of
// ALSA's configuration that announce themselves for recording. Opening each, as
// PortAudio does to list them, loads every plugin with its libraries (the A52 encoder
// and the resamplers bring libavcodec and its codecs), and they stay in the process.
std::vector<AlsaCaptureDevice> alsaCaptureDevices();

} // namespace kestrova
