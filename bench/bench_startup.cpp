// Start-up to the main window shown, with 1,000 recordings of the circuit in W,
// against the same start with W empty. The program runs the whole start sequence
// of main() with the fake devices: the time is the program's own, without the
// sound system's device scan.
#include "app/Program.h"
#include "settings/SettingsFile.h"
#include "bench/BenchSupport.h"
#include "common/Cp1252.h"
#include "support/FakePlatform.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {

constexpr int kRecordings = 1'000;
constexpr int kRounds = 7;

// A program folder whose settings switch the recorder on at start, as left
// running beside a receiver, with `count` recordings of the last hours in W.
void prepareFolder(const QString& folder, int count, const QDateTime& now) {
    QStringList lines = defaultSettingsLines(DefaultSet::NewFile, folder, now);
    lines[15] = QStringLiteral("1"); // automatic start
    lines[22] = QStringLiteral("0"); // no settings form at start
    QFile ini(settingsFilePath(folder));
    if (ini.open(QIODevice::WriteOnly)) {
        for (const QString& line : lines) {
            ini.write(encodeCp1252(line) + "\r\n");
        }
    }
    const QString recordings = QDir(folder).filePath(QStringLiteral("W"));
    QDir().mkpath(recordings);
    for (int i = 0; i < count; ++i) {
        const QDateTime at = now.addSecs(-i * 37);
        const QString name = QStringLiteral("1_") + at.toString(QStringLiteral("MM-dd-yyyy_HH-mm-ss")) +
                             QStringLiteral(".wav");
        bench::writeRecording(QDir(recordings).filePath(name), 11025 * 25, char(128), true);
    }
}

struct Start {
    double seconds = 0;
    int listed = 0;
    bool shown = false;
};

// Makes a program as main() does and runs it until its main window is shown and
// the events of showing it are handled.
Start startOnce(const QString& folder, const QDateTime& now) {
    test::FakePlatform fakes;
    fakes.clock.set(now);
    const auto start = bench::Clock::now();
    Program program(fakes.platform(), ProgramOptions{folder});
    program.main();
    QApplication::processEvents();
    Start result{bench::secondsSince(start), program.frm_DoKu->lb_Sounds->count(),
                 program.frm_DoKu->isVisible()};
    return result;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    const auto appStart = bench::Clock::now();
    QApplication app(argc, argv);
    const double appSeconds = bench::secondsSince(appStart);
    const QDateTime now = QDateTime::currentDateTime();
    QTemporaryDir emptyDir;
    QTemporaryDir fullDir;
    prepareFolder(emptyDir.path(), 0, now);
    prepareFolder(fullDir.path(), kRecordings, now);

    // The first start in a process also loads fonts and styles, as every real start does.
    const Start first = startOnce(fullDir.path(), now);
    std::vector<double> empty;
    std::vector<double> full;
    Start last;
    Start lastEmpty;
    for (int round = 0; round < kRounds; ++round) {
        lastEmpty = startOnce(emptyDir.path(), now);
        empty.push_back(lastEmpty.seconds);
        last = startOnce(fullDir.path(), now);
        full.push_back(last.seconds);
    }
    const double withRecordings = bench::median(full);
    const double baseline = bench::median(empty);
    std::printf("recordings listed: %d of %d; main window shown: %s, with W empty: %s\n", last.listed,
                kRecordings, last.shown ? "yes" : "NO", lastEmpty.shown ? "yes" : "NO");
    std::printf("first start in the process, %d recordings: %.3f s (+ %.3f s for QApplication)\n",
                kRecordings, first.seconds, appSeconds);
    std::printf("start with %d recordings in W: %.3f s (median of %d)\n", kRecordings, withRecordings,
                kRounds);
    std::printf("start with W empty: %.3f s\n", baseline);
    std::printf("ratio: %.2f; goal: under 0.5 s, first start included: %s\n", withRecordings / baseline,
                first.seconds + appSeconds < 0.5 ? "met" : "MISSED");
    return 0;
}
