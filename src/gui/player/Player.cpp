#include "gui/player/Player.h"

#include "base/transmit/Transmitter.h"
#include "gui/services/Services.h"

#include <utility>

namespace kestrova {

Player::Player(Services& program, const Forms& forms, PlayerListCalls listCalls)
    : program_(program), listCalls_(std::move(listCalls)), view_(program, forms),
      playback_(program.platform(), program.transmitter(), file_),
      loader_(program.platform(), file_, playback_, listCalls_),
      speeds_(playback_, loader_, file_, program.programFolder()),
      continuous_(program.platform(), listCalls_, listRows, file_, playback_, loader_, speeds_),
      controls_(program, forms, *this, view_) {
    loader_.setSpeedLabels(speeds_);
    // A held transmission keeps the air to itself.
    QObject::connect(&program.transmitter(), &Transmitter::holdBegins, &playback_,
                     [this] { playback_.stopPlayback(); });
    // Direct: the end's stop has gone through when the next entry loads.
    QObject::connect(&playback_, &Playback::endReached, &playback_, [this] { continuous_.playNextInList(); });
}

void Player::connectControls() {
    controls_.connectControls();
    loader_.setMainWindowExists();
}

void Player::loadSoundWindow() {
    program_.createSoundForm();
    view_.bindSoundWindow(playback_, loader_);
    loader_.loadSoundWindow();
}

void Player::stopTimers() {
    playback_.stopTimers();
    loader_.stopTimers();
    continuous_.stopTimers();
}

} // namespace kestrova
