#pragma once

#include <QByteArray>
#include <QString>

namespace kestrova {

// Windows-1252, the code page the settings file has always been written in, so
// that a file written on Windows reads the same here, umlauts included.
QString decodeCp1252(const QByteArray& bytes);
// Characters the code page lacks become "?".
QByteArray encodeCp1252(const QString& text);

} // namespace kestrova
