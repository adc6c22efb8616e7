#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace kestrova {

// A line of the settings files with named lines beside Kestrova.ini, as `--setze`
// knows it: "web.adresse" is the line "adresse" of KestrovaWeb.ini.
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
};

const std::vector<NamedSetting>& namedSettings();
// The setting a name stands for, in any case; nullptr when none.
const NamedSetting* namedSettingCalled(const QString& name);

} // namespace kestrova
