#pragma once

#include <QString>

namespace kestrova {

// Replaces the running program by the executable `name` in its own folder, with
// the same arguments: the process, its PID and its open files stay, so a service
// manager or a test that started it keeps following it. Returns only when that
// failed, with the path tried and why (in the system's words).
QString handOverToSibling(const QString& name, char** argv);

} // namespace kestrova
