#pragma once

#include <QByteArray>

namespace kestrova {

// Whether a request's Host header names this machine by a loopback name:
// "localhost", any 127.x.y.z or "[::1]", each with or without ":PORT". Without a
// password the page answers only these: a page of another site that points a
// name of its own at this machine (DNS rebinding) still sends that name, and is
// turned away. Agrees with the addresses that --web accepts without a password.
bool isLoopbackHost(const QByteArray& hostHeader);

} // namespace kestrova
