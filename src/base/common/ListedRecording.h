#pragma once

#include <QString>

namespace kestrova {

// One entry of the recording list: the file name exactly as listed (a name of
// another length than a recording's must not make the entry stand for another
// file) and the length in seconds.
struct ListedRecording {
    QString name;
    double seconds = 0;
    bool operator==(const ListedRecording&) const = default;
};

} // namespace kestrova
