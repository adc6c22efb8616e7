#pragma once

#include <chrono>
#include <functional>

namespace kestrova {

// Runs `work` on a thread of its own and returns once it is done. Work done within
// `patience` is simply waited for, so a small job stays one step; while longer
// work runs, the calling thread goes on with its timers and other events, but
// input from the user waits until the work is done, so nothing the user does meets
// a half-made state. What `work` touches must be its own until then.
void runOffThread(const std::function<void()>& work, std::chrono::milliseconds patience);

} // namespace kestrova
