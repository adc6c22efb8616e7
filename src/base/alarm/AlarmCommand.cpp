#include "base/alarm/AlarmCommand.h"

#include "base/aftercommand/AfterCommandMessages.h"
#include "base/aftercommand/AfterCommandRun.h"
#include "base/desktop/EventLog.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kestrova {

namespace {

// A message sent on should take seconds; one that hangs must not pile up.
constexpr std::chrono::seconds kTimeLimit{60};
constexpr std::chrono::seconds kGrace{5};

} // namespace

QProcessEnvironment alarmCommandEnvironment(const Alarm& alarm, bool started, const QStringList& active) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTROVA_ALARM"), alarm.key);
    environment.insert(QStringLiteral("KESTROVA_ALARM_TEXT"), alarm.text);
    environment.insert(QStringLiteral("KESTROVA_ALARM_ZUSTAND"),
                       started ? QStringLiteral("beginnt") : QStringLiteral("endet"));
    environment.insert(QStringLiteral("KESTROVA_ALARME"), active.join(QLatin1Char(' ')));
    return environment;
}

AlarmCommand::AlarmCommand(QString command, QString workingFolder, EventLog& events)
    : command_(std::move(command)), workingFolder_(std::move(workingFolder)), events_(events) {}

AlarmCommand::~AlarmCommand() = default;

void AlarmCommand::run(const Alarm& alarm, bool started, const QStringList& active) {
    if (command_.trimmed().isEmpty()) {
        return;
    }
    auto run = std::make_unique<AfterCommandRun>(command_, workingFolder_,
                                                 alarmCommandEnvironment(alarm, started, active),
                                                 AfterCommandRun::Limits{kTimeLimit, kGrace});
    AfterCommandRun* const launched = run.get();
    connect(launched, &AfterCommandRun::ended, this,
            [this, launched, alarm](const AfterCommandOutcome& outcome) {
                ended(launched, alarm, outcome.kind == AfterCommandOutcome::Kind::Succeeded,
                      afterCommandOutcomeText(outcome, kTimeLimit));
            });
    runs_.push_back(std::move(run));
    launched->start();
}

void AlarmCommand::ended(AfterCommandRun* run, const Alarm& alarm, bool succeeded, const QString& how) {
    if (!succeeded) {
        events_.record(EventPriority::Warning,
                       QStringLiteral("Befehl bei Alarm „%1“ fehlgeschlagen: %2.").arg(alarm.text, how));
    }
    const auto found = std::ranges::find_if(runs_, [run](const auto& held) { return held.get() == run; });
    if (found == runs_.end()) {
        return;
    }
    // It is still inside its own signal; as a child it goes with this object at the latest.
    AfterCommandRun* const done = found->release();
    done->setParent(this);
    done->deleteLater();
    runs_.erase(found);
}

} // namespace kestrova
