#include "base/desktop/SocketShutdown.h"

#include <sys/socket.h>

namespace kestrova {

void shutDownSocket(int descriptor) {
    ::shutdown(descriptor, SHUT_RDWR);
}

} // namespace kestrova
