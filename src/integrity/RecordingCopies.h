#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// Every recording file below a documentation folder, as full paths: those in D/w
// and in the dated archive trees D/Fk_*. Hidden files (a copy being written) and
// the listing file w.dat are left out; links are not followed.
QStringList recordingCopies(const QString& docFolder);

// The name of the recordings folder as it is spelt on the disk ("w" or "W").
QString recordingsFolderName(const QString& docFolder);

} // namespace kestrova
