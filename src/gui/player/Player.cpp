#include "gui/player/Player.h"

#include "gui/services/Services.h"

#include <utility>

namespace kestrova {

Player::Player(Services& program, const Forms& forms, PlayerParts& parts, PlayerListCalls listCalls)
    : program_(program), parts_(parts), listCalls_(std::move(listCalls)), view_(forms),
      continuous_(program.platform(), listCalls_, listRows, parts.file(), parts.playback(), parts.loader(),
                  parts.speedLabels()),
      controls_(program, forms, *this, view_) {
    // A file chosen in the dialog begins with the list's entry pressed, as a click on it would.
    QObject::connect(&parts.loader(), &SoundFileLoader::entryPressWanted, &followers_,
                     [this] { listCalls_.pressEntry(); });
    // Direct: the end's stop has gone through when the next entry loads.
    QObject::connect(&parts.playback(), &Playback::endReached, &followers_,
                     [this] { continuous_.playNextInList(); });
}

void Player::connectControls() {
    controls_.connectControls();
    loader().setMainWindowExists();
}

void Player::loadSoundWindow() {
    program_.createSoundForm();
    view_.bindSoundWindow(playback(), loader());
    loader().loadSoundWindow();
}

void Player::stopTimers() {
    parts_.stopTimers();
    continuous_.stopTimers();
}

} // namespace kestrova
