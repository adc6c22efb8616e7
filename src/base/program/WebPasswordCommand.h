#pragma once

#include <QString>

namespace kestrova {

// `kestrova --set-web-password`: asks twice and stores the hash in the web page's
// settings file. Runs beside a recorder on the same folder: it takes no folder lock
// and touches nothing but that file. Returns the exit status.
int setWebPasswordCommand(const QString& programFolder);

} // namespace kestrova
