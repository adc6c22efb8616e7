// The recording list rebuilt over 10,000 recordings of the circuit, against a
// plain loop over the same folder: readdir, and open, read 50 bytes and close
// each file, with the system's calls.
#include "app/Program.h"
#include "archive/Archive.h"
#include "bench/RecordingFolder.h"
#include "support/FakePlatform.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrova;

namespace {

constexpr int kRecordings = 10'000;
constexpr int kRounds = 5;
constexpr double kGoal = 1.5;

// Returns the seconds it took; `bytes` tells that every file was read.
double bareLoop(const std::string& folder, long& bytes) {
    const auto start = bench::Clock::now();
    bytes = 0;
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return 0;
    }
    char buffer[50];
    while (const dirent* entry = ::readdir(directory)) {
        if (entry->d_type != DT_REG) {
            continue;
        }
        const std::string path = folder + '/' + entry->d_name;
        const int file = ::open(path.c_str(), O_RDONLY);
        if (file >= 0) {
            bytes += ::read(file, buffer, sizeof buffer);
            ::close(file);
        }
    }
    ::closedir(directory);
    return bench::secondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("W"));
    const QDateTime now = QDateTime::currentDateTime();
    bench::writeRecordings(dir.path(), kRecordings, now.addSecs(-7 * (kRecordings - 1)), now);
    test::FakePlatform fakes;
    fakes.clock.set(now);
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();

    std::vector<double> passes;
    std::vector<double> loops;
    std::vector<double> ratios;
    long bareBytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        loops.push_back(bareLoop(QFile::encodeName(folder).toStdString(), bareBytes));
        const auto start = bench::Clock::now();
        program.archive().refreshRecordingList();
        passes.push_back(bench::secondsSince(start));
        ratios.push_back(passes.back() / loops.back());
    }
    const int listed = program.frm_DoKu->lb_Sounds->count();
    std::printf("recordings in the folder: %d, listed: %d\n", kRecordings, listed);
    bench::printSpread("list pass", bench::spreadOf(passes), "s");
    bench::printSpread("plain loop (readdir, open, read 50 bytes, close)", bench::spreadOf(loops), "s");
    std::printf("plain loop read %ld bytes\n", bareBytes);
    const bench::Spread ratio = bench::spreadOf(ratios);
    bench::printSpread("ratio", ratio, "");
    const bool met = listed == kRecordings && ratio.median <= kGoal;
    std::printf("goal: median ratio at most %.1f, every recording listed: %s\n", kGoal,
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
