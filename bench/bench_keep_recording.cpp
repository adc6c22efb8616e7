// Keeping a one-hour recording with its manifest entry against keeping it without:
// the entry is hashed and written beside the recorder, so the user-interface
// thread, which must be free for the next recording, spends no more time on it.
// Also prints how long the entry takes on its own thread.
#include "base/archive/Archive.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/ManifestWriter.h"
#include "bench/BenchSupport.h"
#include "gui/app/Program.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace kestrova;

namespace {

constexpr std::uint32_t kHourOfSamples = 11025U * 3600U;
constexpr int kRounds = 5;
constexpr double kGoal = 1.2;

// Seconds the user-interface thread spent in keepRecording.
double keepOne(Program& program, const QString& folder, int number) {
    const QString name = QStringLiteral("1_08-17-2012_14-%1-00.wav").arg(number, 2, 10, QLatin1Char('0'));
    const QString working = QDir(folder).filePath(name);
    bench::writeRecording(working, kHourOfSamples);
    const auto start = bench::Clock::now();
    program.archive().keepRecording(working, name);
    return bench::secondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietQtWarnings();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    test::FakePlatform fakes;
    Program program(fakes.platform(), ProgramOptions{dir.path()});
    program.main();
    Archive& archive = program.archive();
    // The baseline keeps without the manifests; the measured round with them, as the program has it.
    const auto enterInManifests = [&program, &archive] {
        enterArchiveInManifests(archive, program.manifests(), program.settingsValues(),
                                program.platform().clock);
    };

    std::vector<double> without;
    std::vector<double> with;
    std::vector<double> entering;
    for (int round = 0; round < kRounds; ++round) {
        QObject::disconnect(&archive, &Archive::recordingKept, nullptr, nullptr);
        QObject::disconnect(&archive, &Archive::recordingsDeleted, nullptr, nullptr);
        without.push_back(keepOne(program, dir.path(), 2 * round));
        enterInManifests();
        with.push_back(keepOne(program, dir.path(), 2 * round + 1));
        const auto start = bench::Clock::now();
        if (!program.manifests().waitForPending(60'000)) {
            std::printf("the entry was not written within a minute\n");
            return 1;
        }
        entering.push_back(bench::secondsSince(start));
    }
    const double plain = bench::median(without);
    const double entered = bench::median(with);
    std::printf("keeping a one-hour recording, user-interface thread (median of %d):\n", kRounds);
    const std::string load = bench::loadAverageText();
    std::printf("  without manifest entry: %.3f s [%s]\n", plain, load.c_str());
    std::printf("  with manifest entry:    %.3f s [%s]\n", entered, load.c_str());
    std::printf("hashing and entering it on its own thread afterwards: %.3f s (median) [%s]\n",
                bench::median(entering), load.c_str());
    std::printf("ratio: %.2f (goal: at most %.2f) [%s]\n", entered / plain, kGoal, load.c_str());
    return entered / plain <= kGoal ? 0 : 1;
}
