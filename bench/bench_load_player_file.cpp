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

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hour.wav"));
    bench::writeRecording(path, 11025u * 3600u);

    test::FakePlatform fakes;
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    Player& player = program.player();

    // Once before measuring, so one-time set-up of the painter and the window is not counted.
    player.currentFile = path;
    player.loadCurrentFile();

    std::vector<double> loads;
    std::vector<double> bare;
    long addedKb = 0;
    for (int round = 0; round < 5; ++round) {
        bare.push_back(readWholeFile(path));
        const long before = bench::residentKb();
        const auto start = bench::Clock::now();
        player.currentFile = path;
        player.loadCurrentFile();
        loads.push_back(bench::secondsSince(start));
        addedKb = std::max(addedKb, bench::residentKb() - before);
    }
    const auto copyStart = bench::Clock::now();
    player.lblFreq2_MouseDown(1, 0, 0, 0);
    player.lblFreq2_MouseUp(1, 0, 0, 0);
    const double copy = bench::secondsSince(copyStart);

    const double load = median(loads);
    std::printf("file: %lld bytes, play length %s s\n", static_cast<long long>(QFileInfo(path).size()),
                qPrintable(player.playSecondsText));
    std::printf("loading into the sound window: %.4f s (median of 5, goal below 0.2 s)\n", load);
    std::printf("memory added while loading: %ld kB (goal below 10240 kB)\n", addedKb);
    std::printf("reading the whole file once: %.4f s\n", median(bare));
    std::printf("ratio: %.3f\n", load / median(bare));
    std::printf("writing rx.wav for a faster speed: %.3f s\n", copy);
    return 0;
}
