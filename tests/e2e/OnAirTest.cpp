// The push-to-talk line against the sound that really leaves the program: its own
// PortAudio output, through the ALSA pulse plugin, into the sound server that
// tests/e2e/with_sound_server.py started for it (PulseAudio or PipeWire, a null
// sink "out" as the default sink). The sink's monitor is recorded, and its samples
// and every change of the line are stamped on the same monotonic clock.
//
// --monitor-latency-ms=N asks the monitor for fragments of N ms (10 by default).
// Short fragments stamp precisely but keep the server's latency short; long ones
// let the server run ahead and rewind as a desktop's does, and what the monitor
// keeps is then what a card would play after the rewinds.
//
// Exit 77 (skipped) without a sound server.
#include "archive/RecordingFiles.h"
#include "base/audio/OutputGain.h"
#include "base/audio/PortAudioSession.h"
#include "base/audio/PortAudioSink.h"
#include "base/audio/SimpleSoundPlayer.h"
#include "base/audio/StreamingPlayback.h"
#include "base/automation/AutoCq.h"
#include "base/automation/TimedActions.h"
#include "base/desktop/SystemClock.h"
#include "base/transmit/Transmitter.h"
#include "gui/app/Program.h"
#include "gui/player/Player.h"
#include "gui/ui/MainForm.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

namespace kestrova::test {
namespace {

using Seconds = double;

Seconds monotonicNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr int kRate = 8000;
// Samples above this (of 32767) count as heard; the null sink is exactly 0 when silent.
constexpr int kHeardLevel = 3000;
// The monitor's fragment, from the command line.
int monitorLatencyMs = 10;
// The null sink renders up to its latency (the monitor's fragment at most) ahead of
// its clock, and the monitor hands on samples a fragment later at most: a stamp lies
// within two fragments of the moment the sink played the sample.
Seconds stampAccuracy() {
    return std::max(0.020, 2 * monitorLatencyMs / 1000.0);
}
// Each file played is heard to its end, give or take a few samples of the tone's edge.
constexpr Seconds kWholeTolerance = 0.01;
// The line drops this soon after the last sample at the latest.
constexpr Seconds kLongestDeadCarrier = 0.5;

// What the sound card played, from the monitor of the null sink. Each chunk that
// arrives is stamped; no chunk can arrive before its samples were played, so the
// earliest stamp against the sample count anchors the whole stream, however late
// the event loop came to read the others.
class MonitorRecording {
public:
    MonitorRecording() {
        const QString latency = QStringLiteral("--latency-msec=%1").arg(monitorLatencyMs);
        process_.setReadChannel(QProcess::StandardOutput);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { take(); });
        process_.start(QStringLiteral("parec"),
                       {QStringLiteral("--raw"), QStringLiteral("--device=out.monitor"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                        QStringLiteral("--channels=1"), latency});
        process_.waitForStarted(5000);
    }
    ~MonitorRecording() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    MonitorRecording(const MonitorRecording&) = delete;
    MonitorRecording& operator=(const MonitorRecording&) = delete;

    bool receiving() const { return !samples_.empty(); }
    // Time of the first sample on the monotonic clock.
    Seconds anchor() const { return anchor_; }
    // How far the later chunks came after the earliest one: the reading's jitter.
    Seconds spread() const { return latest_ - anchor_; }
    const std::vector<qint16>& samples() const { return samples_; }
    Seconds timeOf(std::size_t sample) const { return anchor_ + static_cast<double>(sample) / kRate; }

private:
    void take() {
        const Seconds now = monotonicNow();
        pending_ += process_.readAllStandardOutput();
        const qsizetype whole = pending_.size() / 2 * 2;
        for (qsizetype i = 0; i < whole; i += 2) {
            samples_.push_back(static_cast<qint16>(static_cast<quint8>(pending_[i]) |
                                                   (static_cast<quint8>(pending_[i + 1]) << 8)));
        }
        pending_.remove(0, whole);
        const Seconds start = now - static_cast<double>(samples_.size()) / kRate;
        anchor_ = std::min(anchor_, start);
        latest_ = std::max(latest_, start);
    }
    QProcess process_;
    QByteArray pending_;
    std::vector<qint16> samples_;
    Seconds anchor_ = 1e300;
    Seconds latest_ = -1e300;
};

// Serial lines that stamp every change of DTR, the line that keys here.
class StampedLines final : public SerialLines {
public:
    struct Span {
        Seconds keyed;
        Seconds unkeyed;
    };
    bool open(const QString&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setDtr(bool raised) override {
        if (raised && !dtr_) {
            spans.push_back({monotonicNow(), 0});
        } else if (!raised && dtr_) {
            spans.back().unkeyed = monotonicNow();
        }
        dtr_ = raised;
        return open_;
    }
    bool setRts(bool) override { return open_; }
    std::optional<ModemStatus> modemStatus() override { return ModemStatus{}; }
    SerialFailure failure() const override { return SerialFailure::None; }
    bool keyed() const { return dtr_; }
    int unkeys() const { return static_cast<int>(spans.size()) - (dtr_ ? 1 : 0); }

    std::vector<Span> spans;

private:
    bool open_ = false;
    bool dtr_ = false;
};

struct Burst {
    Seconds from;
    Seconds to;
};

// Stretches of heard sound; gaps shorter than `bridge` belong to the stretch.
std::vector<Burst> heardBursts(const MonitorRecording& monitor, Seconds bridge) {
    std::vector<Burst> bursts;
    const std::vector<qint16>& samples = monitor.samples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < kHeardLevel) {
            continue;
        }
        const Seconds at = monitor.timeOf(i);
        if (bursts.empty() || at - bursts.back().to > bridge) {
            bursts.push_back({at, at});
        } else {
            bursts.back().to = at;
        }
    }
    return bursts;
}

// A tone, 8-bit mono at 8 kHz.
QByteArray toneFile(Seconds seconds, double frequency = 1000) {
    const auto count = static_cast<std::uint32_t>(seconds * kRate);
    QByteArray bytes = recordingBytes(kRate, count);
    const qsizetype data = bytes.size() - count;
    for (std::uint32_t i = 0; i < count; ++i) {
        bytes[data + i] =
            static_cast<char>(128 + std::lround(90 * std::sin(2 * std::numbers::pi * frequency * i / kRate)));
    }
    return bytes;
}

class OnAirTest : public ProgramFixture {
protected:
    OnAirTest() {
        // DTR keys, transmitter control on, parrot mode, a pause of 1 s.
        writeIni(defaultIni({{7, QStringLiteral("2")},
                             {8, QStringLiteral("46-0")},
                             {20, QStringLiteral("1")},
                             {24, QStringLiteral("0")},
                             {25, QStringLiteral("1")},
                             {26, QStringLiteral("1")}}));
    }
    ~OnAirTest() override { program.reset(); }

    void SetUp() override {
        monitor = std::make_unique<MonitorRecording>();
        waitFor([this] { return monitor->receiving(); }, 10000);
        ASSERT_TRUE(monitor->receiving()) << "nothing from the monitor";
        const Platform platform{clock,          fakes.dialogs,        fakes.audioInput,
                                fakes.inputHub, fakes.capture,        playerDevice,
                                sounds,         fakes.audioOutput,    lines,
                                fakes.events,   fakes.serviceManager, fakes.diskSpace};
        program = std::make_unique<Program>(platform, ProgramOptions{folder()});
        program->main();
    }

    QString writeTone(const QString& name, Seconds seconds, double frequency = 1000) const {
        const QString path = folder() + QLatin1Char('/') + name;
        EXPECT_TRUE(writeBytes(path, toneFile(seconds, frequency)));
        return path;
    }
    static void waitFor(const std::function<bool()>& done, int limitMs) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < limitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
    }
    // Keeps listening after the last un-key, for anything the card still plays.
    static void listenOn(int ms) {
        waitFor([] { return false; }, ms);
    }
    // Every stretch of sound lies within a keyed span, give or take the stamping.
    void expectNothingHeardUnkeyed(const std::vector<Burst>& bursts) const {
        for (const Burst& burst : bursts) {
            bool inside = false;
            for (const StampedLines::Span& span : lines.spans) {
                inside = inside || (burst.from >= span.keyed - stampAccuracy() &&
                                    burst.to <= span.unkeyed + stampAccuracy() && span.unkeyed > 0);
            }
            EXPECT_TRUE(inside) << "sound heard un-keyed from " << burst.from - monitor->anchor() << " s to "
                                << burst.to - monitor->anchor() << " s of the recording";
        }
    }
    // The sound heard within a keyed span (and the stamping accuracy either side).
    std::vector<Burst> heardWithin(const StampedLines::Span& span, const std::vector<Burst>& bursts) const {
        std::vector<Burst> within;
        for (const Burst& burst : bursts) {
            if (burst.to >= span.keyed - stampAccuracy() && burst.from <= span.unkeyed + stampAccuracy()) {
                within.push_back(burst);
            }
        }
        return within;
    }

    // The figures bench/dead_carrier.py collects: the carrier before the first
    // sample heard (the stream's lead-in and start) and after the last one.
    static void reportCarrier(const char* what, const StampedLines::Span& span, Seconds first, Seconds last) {
        std::printf("carrier before the sound: %s %.3f s\n", what, first - span.keyed);
        std::printf("carrier after the sound: %s %.3f s\n", what, span.unkeyed - last);
    }

    // The line is keyed before the first sample is heard and dropped soon after the last.
    void expectKeyedAround(const StampedLines::Span& span, Seconds first, Seconds last) const {
        EXPECT_LE(span.keyed, first + stampAccuracy()) << "sound heard before the line was keyed";
        EXPECT_LE(last, span.unkeyed + stampAccuracy()) << "sound heard after the line was dropped";
        EXPECT_LE(span.unkeyed - last, kLongestDeadCarrier + stampAccuracy()) << "carrier left on";
    }

    void printStamping() const {
        std::printf(
            "stamping: monitor fragments of %d ms, spread of its chunks %.1f ms, accuracy taken %.0f ms\n",
            monitorLatencyMs, 1000 * monitor->spread(), 1000 * stampAccuracy());
    }

    SystemClock clock;
    StampedLines lines;
    OutputGain gain;
    // Held as the program's input holds it: the sinks take PortAudio only while they play.
    PortAudioSession portAudio;
    PortAudioSink playerSink{gain};
    PortAudioSink soundSink{gain};
    StreamingPlayback playerDevice{playerSink};
    SimpleSoundPlayer sounds{soundSink};
    std::unique_ptr<MonitorRecording> monitor;
};

TEST_F(OnAirTest, AutoCqKeysEachCallForItsWholeFile) {
    constexpr Seconds length = 4.0;
    constexpr int calls = 3;
    program->transmitter().cqFile = writeTone(QStringLiteral("cq.wav"), length);
    AutoCq& cq = program->autoCq();
    cq.toggleCycle();
    waitFor([this] { return lines.unkeys() >= calls; }, 40000);
    cq.toggleCycle();
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), calls);
    ASSERT_FALSE(lines.keyed());
    printStamping();
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.2);
    for (int call = 0; call < calls; ++call) {
        const StampedLines::Span& span = lines.spans[static_cast<std::size_t>(call)];
        const std::vector<Burst> heard = heardWithin(span, bursts);
        ASSERT_EQ(heard.size(), 1u) << "call " << call;
        std::printf("call %d: keyed %.3f s, heard %.3f s, lead %.3f s, dead carrier %.3f s\n", call + 1,
                    span.unkeyed - span.keyed, heard.front().to - heard.front().from,
                    heard.front().from - span.keyed, span.unkeyed - heard.front().to);
        reportCarrier("Auto-CQ", span, heard.front().from, heard.front().to);
        EXPECT_GE(heard.front().to - heard.front().from, length - kWholeTolerance) << "call " << call;
        expectKeyedAround(span, heard.front().from, heard.front().to);
    }
    expectNothingHeardUnkeyed(bursts);
}

// Two files of different tones: each is heard whole, the pause between them as
// written, and the line is keyed around both.
TEST_F(OnAirTest, TheTimedTransmissionSendsBothFilesWholeWithThePauseAsWritten) {
    constexpr Seconds firstLength = 1.0;
    constexpr Seconds secondLength = 1.0;
    constexpr Seconds pause = TimedActions::kPauseTicks * TimedActions::kPauseTickMs / 1000.0;
    TimedActions& actions = program->timedActions();
    actions.actionFirstFile = writeTone(QStringLiteral("kennung.wav"), firstLength, 600);
    actions.actionSecondFile = writeTone(QStringLiteral("info.wav"), secondLength, 1200);
    actions.actionTime = QTime::currentTime().addSecs(2).toString(QStringLiteral("mm:ss"));
    waitFor([this] { return lines.unkeys() >= 1; }, 10000);
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), 1);
    printStamping();
    const StampedLines::Span& span = lines.spans.front();
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.1);
    ASSERT_EQ(bursts.size(), 2u) << "the two files, heard apart";
    const Burst& first = bursts.front();
    const Burst& second = bursts.back();
    std::printf("timed transmission: keyed %.3f s, first file heard %.3f s, pause %.3f s, second file "
                "heard %.3f s, lead %.3f s, dead carrier %.3f s\n",
                span.unkeyed - span.keyed, first.to - first.from, second.from - first.to,
                second.to - second.from, first.from - span.keyed, span.unkeyed - second.to);
    reportCarrier("timed transmission", span, first.from, second.to);
    EXPECT_GE(first.to - first.from, firstLength - kWholeTolerance);
    EXPECT_GE(second.to - second.from, secondLength - kWholeTolerance);
    EXPECT_NEAR(second.from - first.to, pause, 0.05);
    expectKeyedAround(span, first.from, second.to);
    expectNothingHeardUnkeyed(bursts);
}

TEST_F(OnAirTest, TransmittingFromTheSoundWindowEndsWithTheFile) {
    constexpr Seconds length = 3.0;
    Player& player = program->player();
    player.setCurrentFile(writeTone(QStringLiteral("reply.wav"), length));
    player.loadPlayerFile();
    // Keyed by hand, then the file played at normal speed: its end un-keys.
    program->transmitter().togglePushToTalk();
    player.speedLabels().choose(SpeedLabels::kNormalSpeed);
    waitFor([this] { return lines.unkeys() >= 1; }, 15000);
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), 1);
    printStamping();
    const StampedLines::Span& span = lines.spans.front();
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.2);
    ASSERT_EQ(bursts.size(), 1u);
    const Burst& heard = bursts.front();
    std::printf("sound window: keyed %.3f s, heard %.3f s, lead %.3f s, dead carrier %.3f s\n",
                span.unkeyed - span.keyed, heard.to - heard.from, heard.from - span.keyed,
                span.unkeyed - heard.to);
    reportCarrier("sound window", span, heard.from, heard.to);
    EXPECT_GE(heard.to - heard.from, length - kWholeTolerance);
    expectKeyedAround(span, heard.from, heard.to);
    expectNothingHeardUnkeyed(bursts);
}

} // namespace
} // namespace kestrova::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        std::puts("No sound server of the test's own (run through tests/e2e/with_sound_server.py): skipped");
        return 77;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    const QString latencyOption = QStringLiteral("--monitor-latency-ms=");
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(latencyOption)) {
            kestrova::test::monitorLatencyMs = std::max(1, argument.mid(latencyOption.size()).toInt());
        }
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
