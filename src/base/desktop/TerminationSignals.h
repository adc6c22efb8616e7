#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace kestrova {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread,
// so the program can save a running recording before it ends. One per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // True from the moment a signal arrives, before terminationRequested is emitted.
    bool arrived() const;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kestrova
