#pragma once

#include <QString>

namespace kestrova {

struct CommandResult {
    int error = 0; // 0: done; anything else: refused or failed
    QString reply;
};

// A device driven by multimedia command strings such as "record capture".
class CommandDevice {
public:
    virtual ~CommandDevice() = default;
    virtual CommandResult send(const QString& command) = 0;
};

} // namespace kestrova
