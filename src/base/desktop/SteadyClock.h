#pragma once

#include <QtGlobal>
#include <chrono>

namespace kestrova {

// Milliseconds of a clock that never jumps; only differences mean anything.
inline qint64 steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace kestrova
