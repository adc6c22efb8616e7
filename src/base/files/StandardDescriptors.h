#pragma once

namespace kestrova {

// Puts /dev/null on standard input, output and error where they are closed. A
// started program with them closed would hand their numbers to the next files it
// opens: the log would then write into whatever took descriptor 2 (the signal
// pipe, say). Call it first, before anything opens a file.
void openClosedStandardDescriptors();

} // namespace kestrova
