#pragma once

#include "base/settings/NamedSetting.h"

#include <QString>
#include <vector>

namespace kestrova {

// Every line of the files of named lines, file by file as each part declares its own.
const std::vector<NamedSetting>& namedSettings();
// The setting a name stands for, in any case; nullptr when none.
const NamedSetting* namedSettingCalled(const QString& name);

} // namespace kestrova
