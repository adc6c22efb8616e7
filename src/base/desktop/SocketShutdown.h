#pragma once

namespace kestrova {

// Ends both directions of a connection whose descriptor a library owns: the
// library sees the end at its next look and closes it as its own.
void shutDownSocket(int descriptor);

} // namespace kestrova
