#pragma once

#include <QLatin1Char>
#include <QString>

namespace kestrova {

// A path typed or stored on Windows ends in "\", one from here in "/"; either
// names a folder, not a file.
inline bool endsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
}

} // namespace kestrova
