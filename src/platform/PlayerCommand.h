#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// One command string for the sound window's player, split into its words:
// "play waveplayfile from 1500" gives verb "play", alias "waveplayfile",
// arguments {"from", "1500"}. Words are lower-cased; the path of "open" keeps its
// case and loses its quotes.
struct PlayerCommand {
    QString verb;
    QString alias;
    QStringList arguments;
    QString path;

    // An empty verb when the text is not a command.
    static PlayerCommand parse(const QString& text);
};

} // namespace kestrova
