#include "base/program/ServiceNotices.h"

#include "base/desktop/ServiceManager.h"
#include "base/recorder/Recorder.h"

#include <algorithm>
#include <utility>

namespace kestrova {

namespace {
QString recorderStatus(const Recorder& recorder, const QString& inputNote) {
    if (!recorder.isSwitchedOn()) {
        return QStringLiteral("Recorder ausgeschaltet");
    }
    // A deaf input is what the operator must hear of first.
    if (!inputNote.isEmpty()) {
        return inputNote;
    }
    if (!recorder.isRecordingHeard()) {
        return QStringLiteral("Recorder eingeschaltet, wartet auf Funkverkehr");
    }
    const QString& name = recorder.capture().recordingName;
    return recorder.capturePaused ? QStringLiteral("Aufnahme in der Stille angehalten: ") + name
                                  : QStringLiteral("Aufnahme läuft: ") + name;
}
} // namespace

ServiceNotices::ServiceNotices(ServiceManager& manager, const Recorder& recorder)
    : manager_(manager), recorder_(recorder) {
    manager_.notify(QByteArrayLiteral("STATUS=Kestrova startet"));
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(manager_.watchdogTimeout());
    if (timeout.count() > 0) {
        connect(&watchdog_, &QTimer::timeout, this, &ServiceNotices::ping);
        watchdog_.start(std::max(timeout / 2, std::chrono::milliseconds(1)));
    }
    followRecorder();
}

void ServiceNotices::followRecorder() {
    connect(&recorder_, &Recorder::stateChanged, this, &ServiceNotices::tellStatus);
    connect(&recorder_.meter(), &LevelMeterControl::inputNoteChanged, this, [this](const QString& note) {
        inputNote_ = note;
        tellStatus();
    });
}

void ServiceNotices::ready() {
    if (ready_ || stopping_) {
        return;
    }
    ready_ = true;
    statusTold_ = recorderStatus(recorder_, inputNote_);
    manager_.notify("READY=1\nSTATUS=" + statusTold_.toUtf8());
}

void ServiceNotices::stopping() {
    if (std::exchange(stopping_, true)) {
        return;
    }
    watchdog_.stop();
    manager_.notify(QByteArrayLiteral("STOPPING=1\nSTATUS=Kestrova endet"));
}

void ServiceNotices::startFailed(const QString& why) {
    watchdog_.stop();
    manager_.notify("STATUS=" + why.toUtf8());
}

// Until the start is over the manager hears only that it runs.
void ServiceNotices::tellStatus() {
    if (!ready_ || stopping_) {
        return;
    }
    const QString status = recorderStatus(recorder_, inputNote_);
    if (status != statusTold_) {
        statusTold_ = status;
        manager_.notify("STATUS=" + status.toUtf8());
    }
}

// A start whose loop goes on gets as long again as the watchdog's timeout each
// time; one that hangs runs into the manager's limit.
void ServiceNotices::ping() {
    QByteArray notice = QByteArrayLiteral("WATCHDOG=1");
    if (!ready_) {
        notice += "\nEXTEND_TIMEOUT_USEC=" +
                  QByteArray::number(static_cast<qint64>(manager_.watchdogTimeout().count()));
    }
    manager_.notify(notice);
}

} // namespace kestrova
