#include "base/player/PlayerParts.h"

#include "base/transmit/Transmitter.h"

#include <utility>

namespace kestrova {

PlayerParts::PlayerParts(const Platform& platform, Transmitter& transmitter, QString programFolder)
    : programFolder_(std::move(programFolder)), playback_(platform, transmitter, file_),
      loader_(platform, file_, playback_), speeds_(playback_, loader_, file_, programFolder_) {
    loader_.setSpeedLabels(speeds_);
    // A held transmission keeps the air to itself.
    QObject::connect(&transmitter, &Transmitter::holdBegins, &playback_,
                     [this] { playback_.stopPlayback(); });
}

void PlayerParts::stopTimers() {
    playback_.stopTimers();
    loader_.stopTimers();
}

} // namespace kestrova
