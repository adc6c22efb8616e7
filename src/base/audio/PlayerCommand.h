#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// One command string for the sound window's player, split into its words:
// "play waveplayfile from 1500" gives Verb::Play, alias "waveplayfile",
// arguments {"from", "1500"}. Words are lower-cased; the path of "open" keeps its
// case and loses its quotes.
struct PlayerCommand {
    // Invalid: not a command at all; Unknown: a verb the player does not have.
    enum class Verb { Invalid, Unknown, Open, Set, Status, Seek, Play, Stop, Close };
    Verb verb = Verb::Invalid;
    QString alias;
    QStringList arguments;
    QString path;
};

PlayerCommand parsePlayerCommand(const QString& text);

// Error numbers handed back by the player.
enum PlayerError : int {
    kPlayerOk = 0,
    kPlayerUnknownCommand = 1,
    kPlayerUnknownAlias = 2,
    kPlayerNotOpen = 3,
    kPlayerAlreadyOpen = 4,
    kPlayerCannotReadFile = 5,
    kPlayerBadArgument = 6,
    kPlayerDeviceFailed = 7,
};

} // namespace kestrova
