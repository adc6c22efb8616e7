#pragma once

#include <QByteArray>
#include <cstdio>
#include <memory>

namespace kestrova {

// Holds back what libraries write to standard error while it lives, and gives
// it back on request. The audio libraries print dozens of lines while they
// probe for sound servers and cards that are not there; that is no news to the
// user, but a failure is, so the caller passes the text on when its call failed.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

    // Ends the quiet and returns what was held back.
    QByteArray release();

private:
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };
    std::unique_ptr<std::FILE, FileCloser> held_;
    int saved_ = -1;
};

} // namespace kestrova
