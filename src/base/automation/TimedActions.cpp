#include "base/automation/TimedActions.h"

#include "base/archive/Archive.h"
#include "base/audio/SoundFileProbe.h"
#include "base/automation/ScheduleFile.h"
#include "base/desktop/Clock.h"
#include "base/files/RegularFile.h"
#include "base/transmit/HeldSounds.h"
#include "base/transmit/Transmitter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {
// Half a minute past midnight the list follows the change of date.
QTime nightlyRefresh() {
    return {0, 0, 30};
}
} // namespace

TimedActions::TimedActions(const Platform& platform, const QString& programFolder, Archive& archive,
                           Transmitter& transmitter, HeldSounds& sounds)
    : platform_(platform), programFolder_(programFolder), archive_(archive), transmitter_(transmitter),
      sounds_(sounds), seconds_(nightlyRefresh()) {
    connect(&tmr_Zeit, &QTimer::timeout, this, [this] { tmr_Zeit_Timer(); });
}

void TimedActions::startTicking() {
    // Its period, well below a second, gives every clock second a tick.
    tmr_Zeit.start();
}

void TimedActions::clearSchedule() {
    actionTime.clear();
    actionFirstFile.clear();
    actionSecondFile.clear();
}

// Name filters match without regard to case; the name as written wins over
// other spellings of it in the same folder.
QString TimedActions::scheduleFilePath() const {
    const QDir folder(programFolder_);
    const QString wanted = QString::fromLatin1(kScheduleFile);
    const QStringList found = folder.entryList({wanted}, QDir::Files | QDir::Hidden, QDir::Name);
    if (found.isEmpty()) {
        return {};
    }
    return folder.filePath(found.contains(wanted) ? wanted : found.first());
}

void TimedActions::loadTimedAction() {
    const QString path = scheduleFilePath();
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return;
    }
    const Schedule schedule = parseSchedule(opened.file->read(kMaxScheduleBytes));
    actionTime = schedule.actionTime;
    actionFirstFile = schedule.actionFirstFile;
    actionSecondFile = schedule.actionSecondFile;
}

void TimedActions::tmr_Zeit_Timer() {
    runTimedAction();
}

// Each clock second is handled once however many ticks fall into it; seconds
// missed while the thread was held (a long refresh or transmission) are handled
// at the next tick.
void TimedActions::runTimedAction() {
    if (transmitting_) {
        return;
    }
    Clock& clock = platform_.clock;
    // Local seconds begin with the instant's: only a new one needs the local time.
    const qint64 second = clock.msecsSinceEpoch() / 1000;
    if (second == lookedSecond_) {
        return;
    }
    lookedSecond_ = second;
    const QDateTime now = clock.now();
    // A refresh's message box runs ticks of its own; they take the seconds after this one.
    while (const std::optional<QDateTime> second = seconds_.next(now)) {
        runSecond(*second, second->secsTo(wholeSecond(now)));
        if (ended_) {
            return;
        }
    }
}

void TimedActions::runSecond(const QDateTime& second, qint64 secondsLate) {
    const QString clockText = second.time().toString(QStringLiteral("hh:mm:ss"));
    if (second.time() == nightlyRefresh()) {
        archive_.refreshRecordingList();
    }
    if (secondsLate > kLateTransmissionSeconds || !isActionSecond(clockText, actionTime)) {
        return;
    }
    if (!QFileInfo(resolved(actionSecondFile.trimmed())).isFile()) {
        return;
    }
    transmit();
}

void TimedActions::transmit() {
    const QString second = resolved(actionSecondFile.trimmed());
    // A look at the files before anything is keyed; the second one must play.
    if (!probeSoundFile(second).playable) {
        return;
    }
    transmitting_ = true;
    {
        // The hold un-keys however the playback ends, the program's end included.
        TransmitterHold hold(transmitter_, sounds_);
        hold.key();
        // One stream for both files and the pause: waiting between two streams, the
        // pause would be heard as long as the sound server takes to start one. A first
        // file that cannot be played is passed over; the pause is still sent.
        hold.play({resolved(actionFirstFile), second}, kPauseTicks * kPauseTickMs);
    }
    transmitting_ = false;
}

// Relative names are taken from the program folder, where the schedule file is.
QString TimedActions::resolved(const QString& path) const {
    if (path.isEmpty()) {
        return path;
    }
    return QDir(programFolder_).filePath(path);
}

} // namespace kestrova
