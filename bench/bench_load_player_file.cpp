// Loading recordings into the sound window (header, speed copies, waveform, level
// table), each against a bare read of what its load has to read: a one-hour
// recording, which gets no level table, against reading its header and the frames
// the waveform draws; a 199 s one, the longest that gets a level table, against
// the same and reading the whole file once, which the table needs.
#include "bench/BenchSupport.h"
#include "gui/app/Program.h"
#include "gui/player/Player.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrova;

namespace {

constexpr double kLoadGoalSeconds = 0.2;
constexpr long kMemoryGoalKb = 10 * 1024;
constexpr int kRounds = 5;
constexpr int kDrawnColumns = 296;
constexpr qint64 kHeaderBytes = 44;

// The header, the one byte per column the waveform draws, and with `wholeFile` every
// byte of the file once, in blocks.
double bareRead(const QString& path, bool wholeFile) {
    const auto start = bench::Clock::now();
    QFile file(path);
    qint64 got = 0;
    if (file.open(QIODevice::ReadOnly)) {
        got += file.read(kHeaderBytes).size();
        const qint64 step = ((file.size() - kHeaderBytes) / kDrawnColumns) & ~qint64(3);
        char frame = 0;
        for (int column = 0; column < kDrawnColumns; ++column) {
            got += file.seek(kHeaderBytes + column * step) ? file.read(&frame, 1) : 0;
        }
        if (wholeFile && file.seek(0)) {
            std::vector<char> block(1 << 16);
            for (qint64 n = 0; (n = file.read(block.data(), qint64(block.size()))) > 0;) {
                got += n;
            }
        }
    }
    const double seconds = bench::secondsSince(start);
    return got > kHeaderBytes ? seconds : 0.0;
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

struct LoadFigures {
    double load = 0;
    double bare = 0;
    long addedKb = 0; // the most a later load kept
};

// Loads the file kRounds times, each after the bare read of what it needs.
LoadFigures timeLoads(Player& player, const QString& path, bool wholeFile) {
    std::vector<double> loads;
    std::vector<double> bare;
    LoadFigures figures;
    for (int round = 0; round < kRounds; ++round) {
        bare.push_back(bareRead(path, wholeFile));
        const auto start = bench::Clock::now();
        const Memory memory = loadIntoSoundWindow(player, path);
        loads.push_back(bench::secondsSince(start));
        figures.addedKb = std::max(figures.addedKb, memory.addedKb);
    }
    std::printf("  load min / median / max of %d: %s; bare read: %s\n", kRounds,
                bench::spreadText(loads).c_str(), bench::spreadText(bare).c_str());
    figures.load = bench::median(loads);
    figures.bare = bench::median(bare);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString hour = dir.filePath(QStringLiteral("hour.wav"));
    const QString tableLength = dir.filePath(QStringLiteral("199s.wav"));
    bench::writeRecording(hour, 11025u * 3600u);
    bench::writeRecording(tableLength, 11025u * 199u, char(180));

    test::FakePlatform fakes;
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    Player& player = program.player();

    // The first load in the process: what it keeps is what the running program
    // gains. It also does the one-time set-up of the painter and the window, so
    // it is not timed.
    const Memory first = loadIntoSoundWindow(player, hour);
    std::printf("one-hour file: %lld bytes, play length %s s\n",
                static_cast<long long>(QFileInfo(hour).size()), qPrintable(player.playSecondsText()));
    const LoadFigures hourFigures = timeLoads(player, hour, false);
    const long beforeCopy = bench::residentKb();
    bench::resetPeakResident();
    const auto copyStart = bench::Clock::now();
    player.speedLabels().choose(2);
    const double copy = bench::secondsSince(copyStart);
    const long copyPeakKb = bench::peakResidentKb() - beforeCopy;
    std::printf("  loading into the sound window: %.4f s (median, goal below %.1f s) [%s]\n",
                hourFigures.load, kLoadGoalSeconds, bench::loadAverageText().c_str());
    std::printf("  memory added by the first load: %ld kB kept, %ld kB at its peak (goal below %ld kB)\n",
                first.addedKb, first.peakKb, kMemoryGoalKb);
    std::printf("  memory added by a later load: %ld kB\n", hourFigures.addedKb);
    std::printf("  reading the header and the %d drawn frames: %.5f s; ratio %.1f\n", kDrawnColumns,
                hourFigures.bare, hourFigures.load / hourFigures.bare);
    std::printf("  writing rx.wav for a faster speed: %.3f s, %ld kB more memory at its peak [%s]\n", copy,
                copyPeakKb, bench::loadAverageText().c_str());

    loadIntoSoundWindow(player, tableLength);
    std::printf("199 s file: %lld bytes, play length %s s, level table of %lld entries\n",
                static_cast<long long>(QFileInfo(tableLength).size()), qPrintable(player.playSecondsText()),
                static_cast<long long>(player.levelTable().levelCount()));
    const LoadFigures tableFigures = timeLoads(player, tableLength, true);
    std::printf("  loading into the sound window: %.4f s (median, goal below %.1f s) [%s]\n",
                tableFigures.load, kLoadGoalSeconds, bench::loadAverageText().c_str());
    std::printf("  memory added by a load: %ld kB\n", tableFigures.addedKb);
    std::printf("  reading the header, the %d drawn frames and the whole file once: %.4f s; ratio %.2f\n",
                kDrawnColumns, tableFigures.bare, tableFigures.load / tableFigures.bare);

    const bool met = hourFigures.load < kLoadGoalSeconds && tableFigures.load < kLoadGoalSeconds &&
                     first.peakKb < kMemoryGoalKb && player.levelTable().levelCount() > 0;
    std::printf("goal %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}
