#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace kestrova {

class Recorder;
class ServiceManager;

// What the service tells the manager that started it: that the start is over, what
// the recorder does ("Aufnahme läuft: …"), and a sign of life from the event loop at
// half the watchdog's timeout, so a loop that hangs is ended and started again.
class ServiceNotices : public QObject {
    Q_OBJECT
public:
    ServiceNotices(ServiceManager& manager, const Recorder& recorder);

    // The start is over: the recorder records, listens, or has said why it cannot.
    void ready();
    // The program ends on purpose.
    void stopping();
    // The start failed, for this reason.
    void startFailed(const QString& why);

private:
    void followRecorder();
    void tellStatus();
    void ping();

    ServiceManager& manager_;
    const Recorder& recorder_;
    QTimer watchdog_;
    QString inputNote_;
    QString statusTold_;
    bool ready_ = false;
    bool stopping_ = false;
};

} // namespace kestrova
