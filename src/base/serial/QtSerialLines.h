#pragma once

#include "base/serial/SerialLines.h"

#include <memory>

class QSerialPort;

namespace kestrova {

// The control lines of a serial port through QSerialPort: DTR and RTS key the
// transmitter, DCD/DSR/CTS/RI carry the receiver's squelch. Both outputs are
// brought low straight after opening and before closing, so opening or closing
// the port never leaves the transmitter keyed.
class QtSerialLines final : public SerialLines {
public:
    QtSerialLines();
    ~QtSerialLines() override;
    QtSerialLines(const QtSerialLines&) = delete;
    QtSerialLines& operator=(const QtSerialLines&) = delete;

    bool open(const QString& portName) override;
    void close() override;
    // False once the port has failed (for example a USB adapter was pulled out).
    bool isOpen() const override;
    bool setDtr(bool raised) override;
    bool setRts(bool raised) override;
    std::optional<ModemStatus> modemStatus() override;
    SerialFailure failure() const override;

    bool failed() const { return failed_; }

private:
    void closeIfFailed();
    SerialFailure openFailure(const QString& portName) const;

    std::unique_ptr<QSerialPort> port_;
    bool failed_ = false;
    SerialFailure failure_ = SerialFailure::None;
};

} // namespace kestrova
