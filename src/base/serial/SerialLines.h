#pragma once

#include <QString>
#include <optional>

namespace kestrova {

struct ModemStatus {
    bool dcd = false;
    bool dsr = false;
    bool cts = false;
    bool ri = false;
};

// Why a port could not be opened or stopped working.
enum class SerialFailure {
    None,
    Missing,        // no such device
    NoPermission,   // the user may not open it
    InUse,          // another program has it
    NoControlLines, // DTR and RTS cannot be set: not a serial port with modem lines
    Failed,         // any other fault, or the device went away while open
};

// The control lines of a serial port; no data is ever sent or received.
class SerialLines {
public:
    virtual ~SerialLines() = default;
    // Opens the port at 19200,N,8,1 without flow control; false on failure.
    virtual bool open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool setDtr(bool raised) = 0;
    virtual bool setRts(bool raised) = 0;
    // Nothing when the status cannot be read (the port failed).
    virtual std::optional<ModemStatus> modemStatus() = 0;
    // Why the last open failed or the port stopped; None while all is well.
    virtual SerialFailure failure() const = 0;
};

} // namespace kestrova
