#include "base/audio/QuietStderr.h"

#include <unistd.h>

namespace kestrova {

void QuietStderr::FileCloser::operator()(std::FILE* file) const {
    std::fclose(file);
}

QuietStderr::QuietStderr() : held_(std::tmpfile()) {
    if (!held_) {
        return; // nothing to hold it in: the text goes out as before
    }
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(::fileno(held_.get()), STDERR_FILENO) < 0) {
        if (saved_ >= 0) {
            ::close(saved_);
            saved_ = -1;
        }
        held_.reset();
    }
}

QuietStderr::~QuietStderr() {
    release();
}

QByteArray QuietStderr::release() {
    if (saved_ < 0) {
        return {};
    }
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;
    QByteArray text;
    std::rewind(held_.get());
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, held_.get())) > 0) {
        text.append(buffer, static_cast<qsizetype>(got));
    }
    held_.reset();
    return text;
}

} // namespace kestrova
