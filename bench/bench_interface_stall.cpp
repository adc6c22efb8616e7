// How long the interface thread is held at a time while the list is rebuilt with
// 100,000 recordings of the last three days in W: a list pass, and the night's
// refresh at 00:00:30, which also deletes the day that has become too old. A
// 10 ms timer on the interface thread notes the longest gap between its ticks;
// the baseline is the same timer over an idle stretch as long as the night's work,
// which tells how long the busy machine itself holds the thread now and then.
// The night deletes about 33,000 recordings, each entered as "entfernt" in the
// manifest on a thread of its own; the hold is measured until the last of those
// lines is written, and the time from the deletions' end until then has a goal
// of its own (deleting the files alone takes tens of seconds on a busy disk). The same
// night without the lines is measured beside it.
#include "base/archive/Archive.h"
#include "base/automation/TimedActions.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/ManifestFile.h"
#include "base/integrity/ManifestWriter.h"
#include "bench/RecordingFolder.h"
#include "gui/app/Program.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace kestrova;

namespace {

constexpr int kRecordings = 100'000;
constexpr int kRounds = 5;
constexpr int kTick = 10;
constexpr double kGoal = 0.050;
constexpr double kLinesGoal = 10.0;

struct Gap {
    double longest = 0; // less the timer's own period
    double seconds = 0; // how long the work ran
    double after = 0;   // from the work's end until `done` said so
};

// The longest gap between the ticks of a 10 ms timer while `work` runs from
// within the event loop, then until `done` is true, and 100 ms after that.
Gap longestGapDuring(
    const std::function<void()>& work, const std::function<bool()>& done = [] { return true; }) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTick);
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    QEventLoop loop;
    double seconds = 0;
    double after = 0;
    bench::Clock::time_point finished;
    QTimer waiting;
    waiting.setInterval(kTick);
    QObject::connect(&waiting, &QTimer::timeout, [&] {
        if (done()) {
            after = bench::secondsSince(finished);
            waiting.stop();
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
        }
    });
    QTimer::singleShot(50, [&] {
        const auto start = bench::Clock::now();
        work();
        finished = bench::Clock::now();
        seconds = std::chrono::duration<double>(finished - start).count();
        waiting.start();
    });
    clock.start();
    timer.start();
    loop.exec();
    return {longest / 1e9 - kTick / 1000.0, seconds, after};
}

// The "entfernt" lines in a manifest.
int removedLinesIn(const QString& manifest) {
    QFile file(manifest);
    int lines = 0;
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            lines += file.readLine().contains("\tentfernt\t") ? 1 : 0;
        }
    }
    return lines;
}

void idleFor(double seconds) {
    QEventLoop idle;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &idle, &QEventLoop::quit);
    idle.exec();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QDate today = QDate::currentDate();
    const QDateTime evening(today, QTime(23, 59));
    const QDateTime first(today.addDays(-2), QTime(0, 0));
    // The night's refresh comes at half a minute past midnight.
    const QDateTime refreshSecond(today.addDays(1), QTime(0, 0, 30));
    bench::writeSettings(dir.path(), evening, true);
    bench::writeRecordings(dir.path(), kRecordings, first, evening.addSecs(-1));
    test::FakePlatform fakes;
    fakes.clock.set(evening);
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    // Only the benchmark's own ticks run the night: the timer's tick would run it
    // unmeasured as soon as the clock is set there.
    program.timedActions().stopTimers();
    RecordingListView* list = program.frm_DoKu->lb_Sounds;

    const QString manifest = manifestPath(dir.path(), bench::recordingName(evening), today.addDays(1));
    Archive& archive = program.archive();
    // The bare night deletes without the manifests; the measured one with them, as the program has it.
    const auto withoutManifests = [&archive] {
        QObject::disconnect(&archive, &Archive::recordingKept, nullptr, nullptr);
        QObject::disconnect(&archive, &Archive::recordingsDeleted, nullptr, nullptr);
    };
    const auto withManifests = [&program, &archive] {
        enterArchiveInManifests(archive, program.manifests(), program.settingsValues(),
                                program.platform().clock);
    };
    const auto linesWritten = [&] { return program.manifests().waitForPending(0); };
    const auto night = [&] { program.timedActions().tmr_Zeit_Timer(); };
    const auto listPass = [&] { program.archive().refreshRecordingList(); };
    // Writes the day the night deletes again, lists it, and sets the clock to the night.
    const auto beforeTheNight = [&] {
        bench::writeRecordings(dir.path(), kRecordings, first, evening.addSecs(-1));
        ::sync();
        // The timed actions see the clock set back by more than an hour, then in the
        // evening, so the night comes again: a clock set back by less would hand out
        // none of the seconds it has handed out already.
        fakes.clock.set(evening.addSecs(-2 * 3600));
        program.timedActions().tmr_Zeit_Timer();
        fakes.clock.set(evening);
        program.timedActions().tmr_Zeit_Timer();
        const double pass = longestGapDuring(listPass).longest;
        // Its ticking stopped, each tick hands out one second: the clock is walked to
        // the night, whose second the measured tick then takes.
        for (QDateTime second = evening.addSecs(1); second < refreshSecond; second = second.addSecs(1)) {
            fakes.clock.set(second);
            program.timedActions().tmr_Zeit_Timer();
        }
        fakes.clock.set(refreshSecond);
        return pass;
    };
    const auto listRightAfterTheNight = [&] {
        return list->count() > kRecordings / 2 && list->count() < kRecordings &&
               list->currentRow() == list->count() - 1;
    };

    std::vector<double> idle;
    std::vector<double> passes;
    std::vector<double> bareNights;
    std::vector<double> bareNightSeconds;
    std::vector<double> nights;
    std::vector<double> nightSeconds;
    std::vector<double> linesSeconds;
    int deleted = 0;
    int entered = 0;
    bool right = true;
    for (int round = 0; round < kRounds; ++round) {
        beforeTheNight();
        withoutManifests();
        const Gap bare = longestGapDuring(night);
        withManifests();
        bareNights.push_back(bare.longest);
        bareNightSeconds.push_back(bare.seconds);
        right = right && listRightAfterTheNight();

        passes.push_back(beforeTheNight());
        right = right && list->count() == kRecordings && list->currentRow() == kRecordings - 1;
        const int linesBefore = removedLinesIn(manifest);
        const Gap withLines = longestGapDuring(night, linesWritten);
        nights.push_back(withLines.longest);
        nightSeconds.push_back(withLines.seconds);
        linesSeconds.push_back(withLines.after);
        deleted += kRecordings - list->count();
        entered += removedLinesIn(manifest) - linesBefore;
        right = right && listRightAfterTheNight();
        std::printf("round %d: night without lines %.2f s, held %.1f ms; with lines %.2f s and %.2f s more "
                    "for the lines, held %.1f ms; %d lines of %d deleted [%s]\n",
                    round + 1, bare.seconds, bare.longest * 1000, withLines.seconds, withLines.after,
                    withLines.longest * 1000, removedLinesIn(manifest) - linesBefore,
                    kRecordings - list->count(), bench::loadAverageText().c_str());
        std::fflush(stdout);
        idle.push_back(longestGapDuring([&] { idleFor(withLines.seconds + withLines.after); }).longest);
    }
    const bool allEntered = entered == deleted;
    std::printf("%d recordings listed; after the night %d%s\n", kRecordings, list->count(),
                right ? "" : " (LIST WRONG)");
    std::printf("\"entfernt\" lines written: %d of %d deleted%s\n", entered, deleted,
                allEntered ? "" : " (LINES MISSING)");
    std::printf("longest hold of the interface thread (gap between 10 ms ticks less 10 ms):\n");
    bench::printSpread("  idle as long as the night's work (baseline)", bench::spreadOf(idle), "ms", 1000);
    bench::printSpread("  list pass", bench::spreadOf(passes), "ms", 1000);
    bench::printSpread("  night's refresh without manifest lines (baseline)", bench::spreadOf(bareNights),
                       "ms", 1000);
    bench::printSpread("  night's refresh until its \"entfernt\" lines are written", bench::spreadOf(nights),
                       "ms", 1000);
    std::printf("time of the night's work (the deletions):\n");
    bench::printSpread("  without manifest lines (baseline)", bench::spreadOf(bareNightSeconds), "s");
    bench::printSpread("  with them", bench::spreadOf(nightSeconds), "s");
    bench::printSpread("then until all \"entfernt\" lines are written", bench::spreadOf(linesSeconds), "s");
    const bool holdMet =
        right && bench::spreadOf(passes).median <= kGoal && bench::spreadOf(nights).median <= kGoal;
    const bool linesMet = allEntered && bench::spreadOf(linesSeconds).max <= kLinesGoal;
    std::printf("goal: held at most %.0f ms (median) by the pass and the night: %s\n", kGoal * 1000,
                holdMet ? "met" : "MISSED");
    std::printf("goal: all \"entfernt\" lines written within %.0f s, every round: %s\n", kLinesGoal,
                linesMet ? "met" : "MISSED");
    return holdMet && linesMet ? 0 : 1;
}
