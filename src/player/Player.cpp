#include "player/Player.h"

namespace kestrova {

Player::Player(Services& program)
    : view_(program), playback_(program, *this, view_), loader_(program, *this, view_),
      speeds_(program, *this, view_), continuous_(program, *this), controls_(program, *this, view_) {}

void Player::stopTimers() {
    playback_.stopTimers();
    loader_.stopTimers();
    continuous_.stopTimers();
}

} // namespace kestrova
