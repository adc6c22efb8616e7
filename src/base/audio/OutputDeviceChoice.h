#pragma once

#include <QString>
#include <vector>

namespace kestrova {

struct OutputCandidate {
    QString name;
    int maxOutputChannels = 0;
};

// The piece of a device name that tells which sound card it belongs to: the ALSA
// card ("hw:1"), else the bracketed card name ("Speakers (USB Audio)"), else the
// name before the first colon, else the whole name.
QString soundCardKey(const QString& deviceName);

// Index of the output on the same card as the named input, or `fallback` (the
// default output) when none matches or no input is named.
int chooseOutputDevice(const std::vector<OutputCandidate>& devices, const QString& inputName, int fallback);

} // namespace kestrova
