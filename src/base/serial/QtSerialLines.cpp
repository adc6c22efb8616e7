#include "base/serial/QtSerialLines.h"

#include <QFileInfo>
#include <QSerialPort>

namespace kestrova {

QtSerialLines::QtSerialLines() : port_(std::make_unique<QSerialPort>()) {
    // The port reports a vanished device through this signal, sometimes from the
    // event loop; only the flag is set here, the port is closed by our own calls.
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::ResourceError) {
                             failed_ = true;
                         }
                     });
}

QtSerialLines::~QtSerialLines() {
    close();
}

bool QtSerialLines::open(const QString& portName) {
    close();
    failed_ = false;
    failure_ = SerialFailure::None;
    port_->clearError();
    port_->setPortName(portName);
    port_->setBaudRate(QSerialPort::Baud19200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        failure_ = openFailure(portName);
        return false;
    }
    // The driver raises DTR and RTS on open. Lower them before anything else; a
    // port whose lines cannot be lowered is not safe to key a transmitter with.
    const bool dtrLow = port_->setDataTerminalReady(false);
    const bool rtsLow = port_->setRequestToSend(false);
    if (!dtrLow || !rtsLow) {
        port_->close();
        failure_ = SerialFailure::NoControlLines;
        return false;
    }
    return true;
}

void QtSerialLines::close() {
    if (!port_->isOpen()) {
        return;
    }
    if (!failed_) {
        port_->setDataTerminalReady(false);
        port_->setRequestToSend(false);
    }
    port_->close();
}

bool QtSerialLines::isOpen() const {
    return port_->isOpen() && !failed_;
}

bool QtSerialLines::setDtr(bool raised) {
    closeIfFailed();
    if (!port_->isOpen()) {
        return false;
    }
    const bool ok = port_->setDataTerminalReady(raised);
    closeIfFailed();
    return ok;
}

bool QtSerialLines::setRts(bool raised) {
    closeIfFailed();
    if (!port_->isOpen()) {
        return false;
    }
    const bool ok = port_->setRequestToSend(raised);
    closeIfFailed();
    return ok;
}

std::optional<ModemStatus> QtSerialLines::modemStatus() {
    closeIfFailed();
    if (!port_->isOpen()) {
        return std::nullopt;
    }
    port_->clearError();
    const QSerialPort::PinoutSignals pins = port_->pinoutSignals();
    if (port_->error() != QSerialPort::NoError) {
        closeIfFailed();
        return std::nullopt;
    }
    ModemStatus status;
    status.dcd = pins.testFlag(QSerialPort::DataCarrierDetectSignal);
    status.dsr = pins.testFlag(QSerialPort::DataSetReadySignal);
    status.cts = pins.testFlag(QSerialPort::ClearToSendSignal);
    status.ri = pins.testFlag(QSerialPort::RingIndicatorSignal);
    return status;
}

SerialFailure QtSerialLines::failure() const {
    return failed_ ? SerialFailure::Failed : failure_;
}

SerialFailure QtSerialLines::openFailure(const QString& portName) const {
    const QFileInfo device(portName.contains(QLatin1Char('/')) ? portName
                                                               : QStringLiteral("/dev/") + portName);
    switch (port_->error()) {
    case QSerialPort::DeviceNotFoundError:
        return SerialFailure::Missing;
    case QSerialPort::PermissionError:
        // Qt reports a port locked or held exclusively by another program as a
        // permission error too; only the file's own permissions tell them apart.
        if (!device.exists()) {
            return SerialFailure::Missing;
        }
        return device.isReadable() && device.isWritable() ? SerialFailure::InUse
                                                          : SerialFailure::NoPermission;
    default:
        return device.exists() ? SerialFailure::Failed : SerialFailure::Missing;
    }
}

void QtSerialLines::closeIfFailed() {
    if (failed_ && port_->isOpen()) {
        port_->close();
    }
}

} // namespace kestrova
