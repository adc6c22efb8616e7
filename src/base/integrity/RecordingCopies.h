#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>

namespace kestrova {

// What lies where recordings belong below a documentation folder (D/w and the dated
// archive trees D/Fk_*), as full paths. Hidden files (a copy being written) and the
// listing file w.dat and the list of continuations are left out; links are not followed.
struct RecordingCopies {
    QStringList files;  // plain files
    QStringList others; // links, devices, pipes: never a recording the program made
};

RecordingCopies findRecordingCopies(const QString& docFolder);

// The plain files of findRecordingCopies, each handed to `visit` as it is found, in
// no particular order: a walk over a hundred thousand recordings that keeps none.
void forEachRecordingFile(const QString& docFolder, const std::function<void(const QFileInfo&)>& visit);

} // namespace kestrova
