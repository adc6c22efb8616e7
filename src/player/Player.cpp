#include "player/Player.h"

#include "services/Services.h"

namespace kestrova {

Player::Player(Services& program)
    : program_(program), view_(program), playback_(program.platform(), program.transmitter(), file_),
      loader_(program, *this, view_, file_), speeds_(program, *this, view_), continuous_(program, *this),
      controls_(program, *this, view_) {
    // Direct: the end's stop has gone through when the next entry loads.
    QObject::connect(&playback_, &Playback::endReached, &playback_, [this] { continuous_.playNextInList(); });
}

void Player::loadSoundWindow() {
    program_.createSoundForm();
    view_.bindSoundWindow(playback_);
    loader_.loadSoundWindow();
}

void Player::stopTimers() {
    playback_.stopTimers();
    loader_.stopTimers();
    continuous_.stopTimers();
}

} // namespace kestrova
