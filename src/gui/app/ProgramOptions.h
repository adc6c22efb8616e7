#pragma once

#include <QString>

namespace kestrova {

struct ProgramOptions {
    // Holds Kestrova.ini, the W folder, rx.wav and the help; also the folder in
    // which captures are saved and the schedule file KV.DAT is looked for.
    QString programFolder;
    // Runs without a desktop: the windows exist but are never put on a screen,
    // and the recorder starts as if automatic start were set.
    bool headless = false;
};

} // namespace kestrova
