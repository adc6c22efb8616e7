// The recording list rebuilt over 10,000 recordings of the circuit, against a bare
// loop that lists the folder and reads 50 bytes of each file.
#include "app/Program.h"
#include "archive/Archive.h"
#include "bench/BenchSupport.h"
#include "support/FakePlatform.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QDirIterator>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {
// Returns the seconds it took; `bytes` tells that every file was read.
double bareLoop(const QString& folder, qint64& bytes) {
    const auto start = bench::Clock::now();
    bytes = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            bytes += file.read(50).size();
        }
    }
    return bench::secondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("W"));
    QDir().mkpath(folder);
    const QDateTime today = QDateTime::currentDateTime();
    constexpr int count = 10'000;
    for (int i = 0; i < count; ++i) {
        const QDateTime at = today.addSecs(-i * 7);
        bench::writeRecording(QDir(folder).filePath(QStringLiteral("1_") +
                                                    at.toString(QStringLiteral("MM-dd-yyyy_HH-mm-ss")) +
                                                    QStringLiteral(".wav")),
                              11025 * 25, char(128), true);
    }
    test::FakePlatform fakes;
    fakes.clock.set(today);
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();

    std::vector<double> listPasses;
    std::vector<double> bareLoops;
    qint64 bareBytes = 0;
    for (int round = 0; round < 5; ++round) {
        bareLoops.push_back(bareLoop(folder, bareBytes));
        const auto start = bench::Clock::now();
        program.archive().refreshRecordingList();
        listPasses.push_back(bench::secondsSince(start));
    }
    const double list = bench::median(listPasses);
    const double bare = bench::median(bareLoops);
    std::printf("files in the folder: %lld, listed: %d\n",
                static_cast<long long>(QDir(folder).entryList(QDir::Files).size()),
                program.frm_DoKu->lb_Sounds->count());
    std::printf("list pass over %d recordings: %.3f s (median of 5)\n", count, list);
    std::printf("bare loop (list folder, read up to 50 bytes each): %.3f s, %lld bytes read\n", bare,
                static_cast<long long>(bareBytes));
    std::printf("list pass min / median / max: %s; bare loop: %s\n", bench::spreadText(listPasses).c_str(),
                bench::spreadText(bareLoops).c_str());
    const bool met = list / bare <= 2.0;
    std::printf("ratio: %.2f (goal: at most 2)\ngoal %s\n", list / bare, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
