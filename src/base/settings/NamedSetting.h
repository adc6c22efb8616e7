#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace kestrova {

// A line of one of the files of named lines beside Kestrova.ini, as the command line
// sets it (--setze) and lists it (--einstellungen): "web.adresse" is the line
// "adresse" of KestrovaWeb.ini. The part that reads a file declares its lines once,
// as these rows, and reads the file by the same rows' keys: a new line is one row there.
struct NamedSetting {
    QString name;
    // The file in the program folder.
    std::function<QString(const QString& programFolder)> path;
    QString key;
    QString meaning;
    // German, why the value cannot be taken; empty when it can. An empty value
    // always can: it removes the line, and the default holds.
    std::function<QString(const QString& value)> check = [](const QString&) { return QString(); };
    // Not shown again once set.
    bool secret = false;

    // Why the value cannot be taken, in German; empty when it can. Every row's value
    // first passes the rule of all files of named lines, then the row's own check.
    QString refusal(const QString& value) const;
};

} // namespace kestrova
