// How long the interface thread is held at a time while the list is rebuilt with
// 100,000 recordings of the last three days in W: a list pass, and the night's
// refresh at 00:00:30, which also deletes the day that has become too old. A
// 10 ms timer on the interface thread notes the longest gap between its ticks;
// the baseline is the same timer over an idle stretch as long as the night's work,
// which tells how long the busy machine itself holds the thread now and then.
#include "app/Program.h"
#include "archive/Archive.h"
#include "bench/RecordingFolder.h"
#include "support/FakePlatform.h"
#include "automation/TimedActions.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"

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

struct Gap {
    double longest = 0; // less the timer's own period
    double seconds = 0; // how long the work ran
};

// The longest gap between the ticks of a 10 ms timer while `work` runs from
// within the event loop, and 100 ms after it.
Gap longestGapDuring(const std::function<void()>& work) {
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
    QTimer::singleShot(50, [&] {
        const auto start = bench::Clock::now();
        work();
        seconds = bench::secondsSince(start);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
    });
    clock.start();
    timer.start();
    loop.exec();
    return {longest / 1e9 - kTick / 1000.0, seconds};
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
    bench::writeSettings(dir.path(), evening, true);
    bench::writeRecordings(dir.path(), kRecordings, first, evening.addSecs(-1));
    test::FakePlatform fakes;
    fakes.clock.set(evening);
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    RecordingListView* list = program.frm_DoKu->lb_Sounds;

    std::vector<double> idle;
    std::vector<double> passes;
    std::vector<double> nights;
    bool right = true;
    for (int round = 0; round < kRounds; ++round) {
        // The day the night deletes comes back for the next round.
        bench::writeRecordings(dir.path(), kRecordings, first, evening.addSecs(-1));
        ::sync();
        fakes.clock.set(evening);
        passes.push_back(longestGapDuring([&] { program.archive().refreshRecordingList(); }).longest);
        right = right && list->count() == kRecordings && list->currentRow() == kRecordings - 1;
        fakes.clock.set(QDateTime(today.addDays(1), QTime(0, 0, 30)));
        const Gap night = longestGapDuring([&] { program.timedActions().tmr_Zeit_Timer(); });
        nights.push_back(night.longest);
        idle.push_back(longestGapDuring([&] { idleFor(night.seconds); }).longest);
        right = right && list->count() > kRecordings / 2 && list->count() < kRecordings &&
                list->currentRow() == list->count() - 1;
    }
    std::printf("%d recordings listed; after the night %d%s\n", kRecordings, list->count(),
                right ? "" : " (LIST WRONG)");
    std::printf("longest hold of the interface thread (gap between 10 ms ticks less 10 ms):\n");
    bench::printSpread("  idle as long as the night's work (baseline)", bench::spreadOf(idle), "ms", 1000);
    bench::printSpread("  list pass", bench::spreadOf(passes), "ms", 1000);
    bench::printSpread("  night's refresh with its deletions", bench::spreadOf(nights), "ms", 1000);
    const bool met =
        right && bench::spreadOf(passes).median <= kGoal && bench::spreadOf(nights).median <= kGoal;
    std::printf("goal: at most %.0f ms (median) for both: %s\n", kGoal * 1000, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
