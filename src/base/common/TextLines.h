#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// The first `count` lines of a text, each ended by CR LF, a lone CR or a lone LF
// (files edited on other systems), without their ends. Fewer when the text is shorter.
QStringList firstLines(const QString& text, int count);

} // namespace kestrova
