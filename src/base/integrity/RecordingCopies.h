#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// What lies where recordings belong below a documentation folder (D/w and the dated
// archive trees D/Fk_*), as full paths. Hidden files (a copy being written) and the
// listing file w.dat and the list of continuations are left out; links are not followed.
struct RecordingCopies {
    QStringList files;  // plain files
    QStringList others; // links, devices, pipes: never a recording the program made
};

RecordingCopies findRecordingCopies(const QString& docFolder);

} // namespace kestrova
