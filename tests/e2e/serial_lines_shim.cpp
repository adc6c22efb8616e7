// Preloaded into a program under test: gives the pseudo-terminal named by
// KESTROVA_TEST_PORT the modem lines of a serial port, which Linux pseudo-terminals
// lack. The program raises and lowers DTR and RTS as on a real port; each change
// is appended to KESTROVA_TEST_LINES_LOG as "seconds dtr rts" on the monotonic
// clock. The squelch inputs (DCD, DSR, CTS, RI) are all asserted while the file
// KESTROVA_TEST_SQUELCH holds "1". Every other call goes to the system.
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int outputLines = 0;

bool isEmulatedPort(int descriptor) {
    const char* port = std::getenv("KESTROVA_TEST_PORT");
    if (port == nullptr) {
        return false;
    }
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length < 0) {
        return false;
    }
    target[length] = '\0';
    return std::strcmp(target, port) == 0;
}

int squelchLines(void) {
    const char* path = std::getenv("KESTROVA_TEST_SQUELCH");
    std::FILE* file = path != nullptr ? std::fopen(path, "r") : nullptr;
    if (file == nullptr) {
        return 0;
    }
    const bool asserted = std::fgetc(file) == '1';
    std::fclose(file);
    return asserted ? TIOCM_CD | TIOCM_DSR | TIOCM_CTS | TIOCM_RI : 0;
}

void noteLines(int before) {
    const char* path = std::getenv("KESTROVA_TEST_LINES_LOG");
    if (path == nullptr || before == outputLines) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::FILE* log = std::fopen(path, "a");
    if (log != nullptr) {
        std::fprintf(log, "%lld.%09ld %d %d\n", static_cast<long long>(now.tv_sec), now.tv_nsec,
                     (outputLines & TIOCM_DTR) != 0, (outputLines & TIOCM_RTS) != 0);
        std::fclose(log);
    }
}

} // namespace

extern "C" int ioctl(int descriptor, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if ((request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC) &&
        isEmulatedPort(descriptor)) {
        int* bits = static_cast<int*>(argument);
        const int before = outputLines;
        const int outputs = TIOCM_DTR | TIOCM_RTS;
        if (request == TIOCMGET) {
            *bits = outputLines | squelchLines();
            return 0;
        }
        if (request == TIOCMSET) {
            outputLines = *bits & outputs;
        } else if (request == TIOCMBIS) {
            outputLines |= *bits & outputs;
        } else {
            outputLines &= ~(*bits & outputs);
        }
        noteLines(before);
        return 0;
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto system = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    return system(descriptor, request, argument);
}
