#pragma once

#include <cstddef>

namespace kestrova {

// Raises this process's soft limit of open files as far as the hard limit allows
// and returns the soft limit then in force. The usual soft limit of 1024 is too
// few for a recorder that keeps its files open while the web page serves many
// visitors. Nothing to raise where the system has no such limit.
std::size_t raiseOpenFileLimit();

// The soft limit of open files in force now.
std::size_t openFileLimit();

// How many connections the web page may hold open at once with this soft limit:
// what is left after a reserve for the recorder's own files, at least a few and
// at most as many as one page's visitors need.
std::size_t webConnectionBudget(std::size_t softLimit);

} // namespace kestrova
