#pragma once

#include <functional>

namespace kestrova {

// Runs `work` on a thread of its own and returns once it is done. Short work is
// simply waited for; while longer work runs, the calling thread goes on with its
// timers and other events, but input from the user waits until the work is done,
// so nothing the user does meets a half-made state. What `work` touches must be
// its own until then.
void runOffThread(const std::function<void()>& work);

} // namespace kestrova
