// Loading a one-hour 11025 Hz recording into the sound window (header, speed copies,
// waveform, level table), against reading the whole file into memory once.
#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "player/Player.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {

double readWholeFile(const QString& path) {
    const auto start = bench::Clock::now();
    QFile file(path);
    qint64 size = 0;
    if (file.open(QIODevice::ReadOnly)) {
        size = file.readAll().size();
    }
    const double seconds = bench::secondsSince(start);
    return size > 0 ? seconds : 0.0;
}

struct Memory {
    long addedKb = 0; // kept after the load
    long peakKb = 0;  // above the start at the highest point during the load
};

// Loads `path` as the user's choice does; the one call to change should the
// sound window's loading get another entry point.
Memory loadIntoSoundWindow(Player& player, const QString& path) {
    const long before = bench::residentKb();
    bench::resetPeakResident();
    player.setCurrentFile(path);
    player.loadCurrentFile();
    QApplication::processEvents(); // the waveform is painted
    return {bench::residentKb() - before, bench::peakResidentKb() - before};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hour.wav"));
    bench::writeRecording(path, 11025u * 3600u);

    test::FakePlatform fakes;
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    Player& player = program.player();

    // The first load in the process: what it keeps is what the running program
    // gains. It also does the one-time set-up of the painter and the window, so
    // it is not timed.
    const Memory first = loadIntoSoundWindow(player, path);

    std::vector<double> loads;
    std::vector<double> bare;
    long addedKb = 0;
    for (int round = 0; round < 5; ++round) {
        bare.push_back(readWholeFile(path));
        const auto start = bench::Clock::now();
        const Memory memory = loadIntoSoundWindow(player, path);
        loads.push_back(bench::secondsSince(start));
        addedKb = std::max(addedKb, memory.addedKb);
    }
    const long beforeCopy = bench::residentKb();
    bench::resetPeakResident();
    const auto copyStart = bench::Clock::now();
    player.lblFreq2_MouseDown(1, 0, 0, 0);
    player.lblFreq2_MouseUp(1, 0, 0, 0);
    const double copy = bench::secondsSince(copyStart);
    const long copyPeakKb = bench::peakResidentKb() - beforeCopy;

    const double load = bench::median(loads);
    std::printf("file: %lld bytes, play length %s s\n", static_cast<long long>(QFileInfo(path).size()),
                qPrintable(player.playSecondsText()));
    std::printf("loading into the sound window: %.4f s (median of 5, goal below 0.2 s)\n", load);
    std::printf("memory added by the first load: %ld kB kept, %ld kB at its peak (goal below 10240 kB)\n",
                first.addedKb, first.peakKb);
    std::printf("memory added by a later load: %ld kB\n", addedKb);
    std::printf("reading the whole file once: %.4f s\n", bench::median(bare));
    std::printf("ratio: %.3f\n", load / bench::median(bare));
    std::printf("writing rx.wav for a faster speed: %.3f s, %ld kB more memory at its peak\n", copy,
                copyPeakKb);
    return 0;
}
