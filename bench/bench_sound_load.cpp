// Loading a one-hour 11025 Hz recording into the sound window: the time it takes
// and the resident memory it adds, against loading a 25-second recording.
#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "player/Player.h"
#include "support/FakePlatform.h"
#include "ui/SoundForm.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {

constexpr std::uint32_t kRate = 11025;
constexpr int kRounds = 5;

// What the sound window does when the user picks a file; the one call to change
// should the window's loading get another entry point.
void loadIntoSoundWindow(Program& program, const QString& path) {
    program.player().currentFile = path;
    program.player().loadPlayerFile();
}

struct Load {
    double seconds = 0;
    long addedKb = 0;
};

Load loadOnce(Program& program, const QString& path) {
    const long before = bench::residentKb();
    const auto start = bench::Clock::now();
    loadIntoSoundWindow(program, path);
    QApplication::processEvents(); // the waveform is painted
    const double seconds = bench::secondsSince(start);
    return {seconds, bench::residentKb() - before};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString hour = dir.filePath(QStringLiteral("1_01-02-2024_10-00-00.wav"));
    const QString shortOne = dir.filePath(QStringLiteral("1_01-02-2024_11-00-00.wav"));
    bench::writeRecording(hour, kRate * 3600, char(200));
    bench::writeRecording(shortOne, kRate * 25, char(200));

    test::FakePlatform fakes;
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    program.frm_Oszi->show();
    QApplication::processEvents();

    // The first hour-long load in a fresh process: the memory it adds is what
    // a user's program gains (later loads reuse what the first one freed).
    const Load first = loadOnce(program, hour);
    std::vector<double> hours{first.seconds};
    std::vector<double> shorts;
    for (int round = 0; round < kRounds; ++round) {
        shorts.push_back(loadOnce(program, shortOne).seconds);
        if (round + 1 < kRounds) {
            hours.push_back(loadOnce(program, hour).seconds);
        }
    }
    std::sort(hours.begin(), hours.end());
    std::sort(shorts.begin(), shorts.end());
    const double hourSeconds = hours[hours.size() / 2];
    const double shortSeconds = shorts[shorts.size() / 2];
    std::printf("one hour at %u Hz (%.1f MB): %.3f s (median of %d), first load %.3f s\n", kRate,
                kRate * 3600 / 1e6, hourSeconds, kRounds, first.seconds);
    std::printf("resident memory added by the first load: %.1f MB\n", first.addedKb / 1024.0);
    std::printf("25-second recording: %.4f s\n", shortSeconds);
    std::printf("ratio: %.1f; goal: under 0.2 s and 10 MB: %s\n", hourSeconds / shortSeconds,
                hourSeconds < 0.2 && first.addedKb < 10 * 1024 ? "met" : "MISSED");
    return 0;
}
