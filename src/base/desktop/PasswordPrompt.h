#pragma once

#include <QString>
#include <optional>

namespace kestrova {

// Asks on the terminal for a line without showing what is typed; from a pipe it
// reads the next line as it is. nullopt at the end of the input.
std::optional<QString> readSecretLine(const QString& prompt);

} // namespace kestrova
