#pragma once

#include "base/alarm/Alarm.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kestrova {

class AfterCommandRun;
class EventLog;

// What the alarm command sees of an alarm that started or ended: in its environment
// only, so no text can change what the shell runs. `active` are the keys of all
// alarms standing afterwards.
QProcessEnvironment alarmCommandEnvironment(const Alarm& alarm, bool started, const QStringList& active);

// The command of KestrovaAlarm.ini, run once as each alarm starts and once as it ends,
// the way the command after each recording runs: through the shell, never waited for,
// its process group ended after its time limit. A failure goes to the event log; it is
// not tried again, as the next change of an alarm runs it anew.
class AlarmCommand : public QObject {
    Q_OBJECT
public:
    AlarmCommand(QString command, QString workingFolder, EventLog& events);
    ~AlarmCommand() override;
    AlarmCommand(const AlarmCommand&) = delete;
    AlarmCommand& operator=(const AlarmCommand&) = delete;

    void run(const Alarm& alarm, bool started, const QStringList& active);

private:
    void ended(AfterCommandRun* run, const Alarm& alarm, bool succeeded, const QString& how);

    QString command_;
    QString workingFolder_;
    EventLog& events_;
    std::vector<std::unique_ptr<AfterCommandRun>> runs_;
};

} // namespace kestrova
