// The whole program started from outside, as a user starts it, with 1,000, 10,000
// and 100,000 recordings of the circuit in W, against the same start with W
// empty. The recorder is switched on at start and listens to a file of silence
// (--input-file). Two moments are taken: the main window idle (its thread, the
// interface thread, spends less than 3 ms of CPU in 150 ms; the list may still be
// read beside it, with the user's input held until it is right), and the list
// complete (all threads of the process together that quiet). Resident memory is
// read at the second, and the peak since the launch. Beside them, the moment the
// program is ready: the recorder switched on, which it does as the list pass
// begins, seen from outside as the capture's working file appearing in the program
// folder. The goals are on the ready moment and the peak: until the recorder is on
// nothing is recorded, and the peak is what the machine must have room for.
#include "base/audio/PortAudioInput.h"
#include "base/audio/WorkingFileCapture.h"
#include "bench/RecordingFolder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrova;

namespace {

constexpr int kRounds = 5;
constexpr int kSizes[] = {0, 1'000, 10'000, 100'000};
constexpr double kReadyGoal = 0.5;
constexpr double kPeakGoalMb = 60;
constexpr double kQuietWindow = 0.150;
constexpr long long kQuietCpuNs = 3'000'000;
constexpr double kGiveUp = 20;

long long readNumber(const std::string& path) {
    std::ifstream file(path);
    long long value = 0;
    file >> value;
    return value;
}

// CPU nanoseconds of every thread the process has had: a thread that has ended
// keeps what it was last seen with.
struct CpuSample {
    double at = 0;
    long long mainThread = 0;
    long long process = 0;
};

CpuSample cpuOf(long pid, std::map<long, long long>& threads) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* directory = ::opendir(tasks.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            if (entry->d_name[0] != '.') {
                const long long ns = readNumber(tasks + '/' + entry->d_name + "/schedstat");
                long long& seen = threads[std::stol(entry->d_name)];
                seen = std::max(seen, ns);
            }
        }
        ::closedir(directory);
    }
    CpuSample sample;
    sample.mainThread = threads[pid];
    for (const auto& thread : threads) {
        sample.process += thread.second;
    }
    return sample;
}

// The start of the quiet stretch the samples end in, once it has lasted the window.
template <typename Cpu> std::optional<double> quietSince(const std::vector<CpuSample>& samples, Cpu cpu) {
    const CpuSample& last = samples.back();
    std::size_t from = samples.size() - 1;
    while (from > 0 && cpu(last) - cpu(samples[from - 1]) < kQuietCpuNs) {
        --from;
    }
    if (last.at - samples[from].at < kQuietWindow) {
        return std::nullopt;
    }
    return samples[from].at;
}

long statusKbOf(long pid, const std::string& field) {
    return bench::statusKbIn("/proc/" + std::to_string(pid) + "/status", field);
}

struct Start {
    double windowIdle = 0;
    double ready = 0;
    double listComplete = 0;
    double residentMb = 0;
    double peakMb = 0;
    bool idle = false;
};

// Offscreen unless the caller names a platform (xcb under Xvfb, for one).
QString windowPlatform() {
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM");
    return named.isEmpty() ? QStringLiteral("offscreen") : named;
}

// The sound setup the starts ran on: the file of silence is the first input, and
// PortAudio's devices, which the program lists at start, follow it.
void printSoundSetup() {
    PortAudioInput portAudio;
    QStringList names;
    for (const InputDeviceInfo& device : portAudio.devices()) {
        if (device.canRecordMono8Bit11025) {
            names << device.name.trimmed();
        }
    }
    const QString inputs =
        names.isEmpty()
            ? QStringLiteral("no usable input")
            : QStringLiteral("%1 usable inputs: %2").arg(names.size()).arg(names.join(QStringLiteral(", ")));
    const QString display = qEnvironmentVariableIsSet("DISPLAY")
                                ? QStringLiteral(" on display ") + qEnvironmentVariable("DISPLAY")
                                : QString();
    std::printf("sound: the recorder listens to a file of silence (--input-file, 8-bit mono 11025 Hz); "
                "behind it PortAudio's ALSA host lists %s; windows: %s%s\n",
                qPrintable(inputs), qPrintable(windowPlatform()), qPrintable(display));
}

Start startOnce(const QString& folder, const QString& silence) {
    // Left by an earlier start only if it recorded; the moment of readiness is its making.
    const QString working = QDir(folder).filePath(QString::fromLatin1(WorkingFileCapture::kWorkingFileName));
    QFile::remove(working);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), windowPlatform());
    child.setProcessEnvironment(environment);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    const auto launched = bench::Clock::now();
    child.start(QStringLiteral(KESTROVA_EXECUTABLE),
                {QStringLiteral("--program-folder"), folder, QStringLiteral("--input-file"), silence});
    Start result;
    if (!child.waitForStarted()) {
        return result;
    }
    const long pid = static_cast<long>(child.processId());
    std::map<long, long long> threads;
    std::vector<CpuSample> samples;
    std::optional<double> windowIdle;
    std::optional<double> ready;
    while (child.state() == QProcess::Running && bench::secondsSince(launched) < kGiveUp) {
        samples.push_back(cpuOf(pid, threads));
        samples.back().at = bench::secondsSince(launched);
        if (!windowIdle) {
            windowIdle = quietSince(samples, [](const CpuSample& s) { return s.mainThread; });
        }
        if (!ready && QFileInfo::exists(working)) {
            ready = samples.back().at;
        }
        const std::optional<double> complete =
            quietSince(samples, [](const CpuSample& s) { return s.process; });
        if (complete && ready) {
            result = {
                windowIdle.value_or(*complete),     *ready, *complete, statusKbOf(pid, "VmRSS:") / 1024.0,
                statusKbOf(pid, "VmHWM:") / 1024.0, true};
            break;
        }
        QThread::usleep(1000);
    }
    child.terminate();
    if (!child.waitForFinished(10'000)) {
        child.kill();
        child.waitForFinished();
    }
    return result;
}

template <typename Field> std::vector<double> fieldOf(const std::vector<Start>& starts, Field field) {
    std::vector<double> values;
    for (const Start& s : starts) {
        values.push_back(field(s));
    }
    return values;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    printSoundSetup();
    const QDateTime now = QDateTime::currentDateTime();
    QTemporaryDir work;
    const QString silence = work.filePath(QStringLiteral("silence.wav"));
    bench::writeRecording(silence, 11025, char(128));

    std::vector<QString> folders;
    for (const int size : kSizes) {
        folders.push_back(work.filePath(QStringLiteral("n%1").arg(size)));
        QDir().mkpath(folders.back() + QStringLiteral("/W"));
        bench::writeSettings(folders.back(), now, true);
        // One a second back from now: all of them younger than the three days kept.
        if (size > 0) {
            bench::writeRecordings(folders.back(), size, now.addSecs(1 - size), now);
        }
    }
    ::sync();
    std::vector<std::vector<Start>> starts(std::size(kSizes));
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < std::size(kSizes); ++i) {
            starts[i].push_back(startOnce(folders[i], silence));
        }
    }

    bool met = true;
    for (std::size_t i = 0; i < std::size(kSizes); ++i) {
        for (const Start& s : starts[i]) {
            met = met && s.idle;
        }
        const QByteArray label =
            kSizes[i] == 0 ? QByteArray("W empty") : QByteArray::number(kSizes[i]) + " recordings";
        std::printf("%s:\n", label.constData());
        bench::printSpread("  main window idle",
                           bench::spreadOf(fieldOf(starts[i], [](auto& s) { return s.windowIdle; })), "s");
        bench::printSpread("  ready: recorder on, input accepted",
                           bench::spreadOf(fieldOf(starts[i], [](auto& s) { return s.ready; })), "s");
        bench::printSpread("  list complete, process idle",
                           bench::spreadOf(fieldOf(starts[i], [](auto& s) { return s.listComplete; })), "s");
        bench::printSpread("  resident memory then",
                           bench::spreadOf(fieldOf(starts[i], [](auto& s) { return s.residentMb; })), "MB");
        bench::printSpread("  resident memory at its peak",
                           bench::spreadOf(fieldOf(starts[i], [](auto& s) { return s.peakMb; })), "MB");
    }
    // The resident memory read is the started program's, through its own status
    // file: this benchmark's own (the folders' names it made) is not in it.
    const double ready = bench::spreadOf(fieldOf(starts.back(), [](auto& s) { return s.ready; })).median;
    const double peak = bench::spreadOf(fieldOf(starts.back(), [](auto& s) { return s.peakMb; })).median;
    met = met && ready < kReadyGoal && peak < kPeakGoalMb;
    std::printf("goal with 100,000 recordings: the recorder on in under %.1f s, under %.0f MB resident "
                "at the peak (medians): %s [%s]\n",
                kReadyGoal, kPeakGoalMb, met ? "met" : "MISSED", bench::loadAverageText().c_str());
    return met ? 0 : 1;
}
