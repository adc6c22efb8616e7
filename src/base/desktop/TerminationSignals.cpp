#include "base/desktop/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrova {

namespace {
// The handler may only write to a descriptor; the notifier reads it on the UI thread.
std::array<int, 2> signalPipe{-1, -1};
// Seen at once, also by a start that runs before any event loop reads the pipe.
volatile std::sig_atomic_t signalArrived = 0;

void onSignal(int number) {
    signalArrived = 1;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

constexpr std::array<int, 3> handledSignals{SIGTERM, SIGINT, SIGHUP};
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe.data()) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    for (const int number : handledSignals) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(number, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (const int number : handledSignals) {
        ::signal(number, SIG_DFL);
    }
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe = {-1, -1};
    signalArrived = 0;
}

bool TerminationSignals::arrived() const {
    return notifier_ != nullptr && signalArrived != 0;
}

void TerminationSignals::readSignal() {
    unsigned char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1) {
        emit terminationRequested(byte);
    }
}

} // namespace kestrova
