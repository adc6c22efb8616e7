#pragma once

#include <cstddef>

namespace kestrova {

// What one web client, and all of them together, may take of the program. The
// recorder must never run out of file descriptors, memory or time because of
// what comes in over the network.
struct HttpLimits {
    unsigned connections = 256; // open at once, in total; a quarter kept for this machine
    unsigned perAddress = 32;   // open at once from one client address
    unsigned perNetwork = 64;   // open at once from one IPv4 /24 or IPv6 /64
    unsigned headerSeconds = 5; // without a byte before the first request's headers are in
    unsigned idleSeconds = 20;  // without a byte either way after that: body, answer, keep-alive
    std::size_t connectionMemory = 32 * 1024; // the request's line and headers must fit
    std::size_t bodyBytes = 4 * 1024;         // a login needs a few hundred
    unsigned pendingChecks = 8;               // requests waiting for each worker (logins, listings)
    unsigned liveListeners = 10;              // hearing the input live, at once
};

} // namespace kestrova
