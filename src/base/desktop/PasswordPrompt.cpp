#include "base/desktop/PasswordPrompt.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace kestrova {

namespace {

// Turns the terminal's echo off for its lifetime.
class HiddenInput {
public:
    HiddenInput() : active_(isatty(STDIN_FILENO) == 1 && tcgetattr(STDIN_FILENO, &saved_) == 0) {
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
    }
    ~HiddenInput() {
        if (active_) {
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
            std::cerr << '\n';
        }
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    termios saved_{};
    bool active_;
};

} // namespace

std::optional<QString> readSecretLine(const QString& prompt) {
    std::cerr << prompt.toStdString() << std::flush;
    const HiddenInput hidden;
    std::string line;
    if (!std::getline(std::cin, line)) {
        return std::nullopt;
    }
    return QString::fromStdString(line);
}

} // namespace kestrova
