// The push-to-talk line against the sound that really leaves the program: its own
// PortAudio output, through the ALSA pulse plugin, into a PulseAudio server of the
// test's own. The null sink's monitor is recorded, and its samples and every change
// of the line are stamped on the same monotonic clock.
//
// Exit 77 (skipped) when PulseAudio is not installed.
#include "app/Program.h"
#include "archive/RecordingFiles.h"
#include "automation/AutoCq.h"
#include "automation/TimedActions.h"
#include "platform/OutputGain.h"
#include "platform/PlaybackDevice.h"
#include "platform/PortAudioSink.h"
#include "platform/SimpleSoundPlayer.h"
#include "platform/SystemClock.h"
#include "player/Player.h"
#include "support/ProgramFixture.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
// The null sink renders up to its latency (10 ms, asked for by the recorder) ahead
// of its clock, and the monitor hands on samples after up to 10 ms: a stamp lies
// within 20 ms of the moment the sink played the sample.
constexpr Seconds kStampAccuracy = 0.020;

// A PulseAudio server with a null sink "out" (8 kHz mono, so nothing is resampled
// on the way) as the default sink, reached by this process through the environment.
class PulseServer {
public:
    explicit PulseServer(const QString& work) {
        const QString socket = work + QStringLiteral("/pulse.sock");
        // ALSA knows only the pulse plugin: probing every installed plugin would
        // leave leaks behind that LeakSanitizer cannot name.
        writeText(work + QStringLiteral("/alsa.conf"),
                  "pcm.!default { type pulse }\nctl.!default { type pulse }\n");
        writeText(work + QStringLiteral("/pulse.pa"),
                  "load-module module-native-protocol-unix socket=" + socket.toUtf8() +
                      " auth-anonymous=1\n"
                      "load-module module-null-sink sink_name=out rate=8000 channels=1 format=s16le\n"
                      "set-default-sink out\n");
        qputenv("HOME", work.toUtf8());
        qputenv("XDG_RUNTIME_DIR", work.toUtf8());
        qputenv("PULSE_RUNTIME_PATH", work.toUtf8());
        qputenv("PULSE_SERVER", "unix:" + socket.toUtf8());
        qputenv("ALSA_CONFIG_PATH", (work + QStringLiteral("/alsa.conf")).toUtf8());
        process_.setStandardErrorFile(work + QStringLiteral("/pulse.log"));
        process_.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("--system=no"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"), QStringLiteral("-F"),
                        work + QStringLiteral("/pulse.pa")});
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(socket) && process_.state() != QProcess::NotRunning &&
               waited.elapsed() < 20000) {
            QThread::msleep(50);
        }
        running_ = QFileInfo::exists(socket);
    }
    ~PulseServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    bool running() const { return running_; }

private:
    static void writeText(const QString& path, const QByteArray& text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
    }
    QProcess process_;
    bool running_ = false;
};

// What the sound card played, from the monitor of the null sink. Each chunk that
// arrives is stamped; no chunk can arrive before its samples were played, so the
// earliest stamp against the sample count anchors the whole stream, however late
// the event loop came to read the others.
class MonitorRecording {
public:
    MonitorRecording() {
        process_.setReadChannel(QProcess::StandardOutput);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { take(); });
        process_.start(QStringLiteral("parec"),
                       {QStringLiteral("--raw"), QStringLiteral("--device=out.monitor"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                        QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
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

// A 1 kHz tone, 8-bit mono at 8 kHz.
QByteArray toneFile(Seconds seconds) {
    const auto count = static_cast<std::uint32_t>(seconds * kRate);
    QByteArray bytes = recordingBytes(kRate, count);
    const qsizetype data = bytes.size() - count;
    for (std::uint32_t i = 0; i < count; ++i) {
        bytes[data + i] =
            static_cast<char>(128 + std::lround(90 * std::sin(2 * std::numbers::pi * 1000 * i / kRate)));
    }
    return bytes;
}

class OnAirTest : public ProgramFixture {
protected:
    static void SetUpTestSuite() {
        work_ = new QTemporaryDir;
        server_ = new PulseServer(work_->path());
    }
    static void TearDownTestSuite() {
        delete server_;
        delete work_;
    }

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
        ASSERT_TRUE(server_->running()) << "PulseAudio did not start";
        monitor = std::make_unique<MonitorRecording>();
        waitFor([this] { return monitor->receiving(); }, 10000);
        ASSERT_TRUE(monitor->receiving()) << "nothing from the monitor";
        const Platform platform{clock,        fakes.dialogs, fakes.audioInput,  fakes.inputHub, fakes.capture,
                                playerDevice, sounds,        fakes.audioOutput, lines,          fakes.events};
        program = std::make_unique<Program>(platform, ProgramOptions{folder()});
        program->main();
    }

    QString writeTone(const QString& name, Seconds seconds) const {
        const QString path = folder() + QLatin1Char('/') + name;
        EXPECT_TRUE(writeBytes(path, toneFile(seconds)));
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
                inside = inside || (burst.from >= span.keyed - kStampAccuracy &&
                                    burst.to <= span.unkeyed + kStampAccuracy && span.unkeyed > 0);
            }
            EXPECT_TRUE(inside) << "sound heard un-keyed from " << burst.from - monitor->anchor() << " s to "
                                << burst.to - monitor->anchor() << " s of the recording";
        }
    }
    // The sound heard within a keyed span (and the stamping accuracy either side).
    std::vector<Burst> heardWithin(const StampedLines::Span& span, const std::vector<Burst>& bursts) const {
        std::vector<Burst> within;
        for (const Burst& burst : bursts) {
            if (burst.to >= span.keyed - kStampAccuracy && burst.from <= span.unkeyed + kStampAccuracy) {
                within.push_back(burst);
            }
        }
        return within;
    }

    // The figure bench/dead_carrier.py collects: how much longer the line was keyed
    // than the sound the program was given to send (its files and its own pauses).
    static void reportDeadCarrier(const char* what, const StampedLines::Span& span, Seconds soundSent) {
        std::printf("keyed longer than the sound sent: %s %.3f s\n", what,
                    span.unkeyed - span.keyed - soundSent);
    }

    static QTemporaryDir* work_;
    static PulseServer* server_;
    SystemClock clock;
    StampedLines lines;
    OutputGain gain;
    PortAudioSink playerSink{gain};
    PortAudioSink soundSink{gain};
    PlaybackDevice playerDevice{playerSink};
    SimpleSoundPlayer sounds{soundSink};
    std::unique_ptr<MonitorRecording> monitor;
};

QTemporaryDir* OnAirTest::work_ = nullptr;
PulseServer* OnAirTest::server_ = nullptr;

TEST_F(OnAirTest, AutoCqLetsGoOfTheLineOnlyAfterTheLastSampleWasPlayed) {
    constexpr Seconds length = 4.0;
    constexpr int calls = 3;
    program->transmitter().cqFile = writeTone(QStringLiteral("cq.wav"), length);
    AutoCq& cq = program->autoCq();
    cq.cmd_PAPA_Click();
    waitFor([this] { return lines.unkeys() >= calls; }, 40000);
    cq.cmd_PAPA_Click();
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), calls);
    ASSERT_FALSE(lines.keyed());
    std::printf("stamping: spread of the monitor's chunks %.1f ms, accuracy taken %.0f ms\n",
                1000 * monitor->spread(), 1000 * kStampAccuracy);
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.2);
    for (int call = 0; call < calls; ++call) {
        const StampedLines::Span& span = lines.spans[static_cast<std::size_t>(call)];
        const std::vector<Burst> heard = heardWithin(span, bursts);
        ASSERT_FALSE(heard.empty()) << "call " << call << " was not heard";
        const Seconds first = heard.front().from;
        const Seconds last = heard.back().to;
        std::printf("call %d: keyed %.3f s, sound %.3f s (%zu stretch(es)), lead %.3f s, "
                    "un-keyed tail %+.3f s, dead carrier %.3f s\n",
                    call + 1, span.unkeyed - span.keyed, last - first, heard.size(), first - span.keyed,
                    last - span.unkeyed, span.unkeyed - last);
        reportDeadCarrier("Auto-CQ", span, length);
        // The whole file went out: nothing was cut at its end.
        EXPECT_GE(last - first, length - 0.05) << "call " << call;
        EXPECT_LE(last - span.unkeyed, kStampAccuracy) << "call " << call;
    }
    expectNothingHeardUnkeyed(bursts);
}

TEST_F(OnAirTest, TheTimedTransmissionIsKeyedForBothFilesAndNothingElse) {
    TimedActions& actions = program->timedActions();
    actions.actionFirstFile = writeTone(QStringLiteral("kennung.wav"), 2.0);
    actions.actionSecondFile = writeTone(QStringLiteral("info.wav"), 1.0);
    actions.actionTime = QTime::currentTime().addSecs(2).toString(QStringLiteral("mm:ss"));
    waitFor([this] { return lines.unkeys() >= 1; }, 10000);
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), 1);
    std::printf("stamping: spread of the monitor's chunks %.1f ms, accuracy taken %.0f ms\n",
                1000 * monitor->spread(), 1000 * kStampAccuracy);
    const StampedLines::Span& span = lines.spans.front();
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.1);
    ASSERT_FALSE(bursts.empty()) << "nothing was heard";
    Seconds sound = 0;
    for (const Burst& burst : bursts) {
        sound += burst.to - burst.from;
    }
    std::printf("timed transmission: keyed %.3f s, sound %.3f s in %zu stretch(es) over %.3f s, "
                "lead %.3f s, un-keyed tail %+.3f s, dead carrier %.3f s\n",
                span.unkeyed - span.keyed, sound, bursts.size(), bursts.back().to - bursts.front().from,
                bursts.front().from - span.keyed, bursts.back().to - span.unkeyed,
                span.unkeyed - bursts.back().to);
    reportDeadCarrier("timed transmission", span,
                      3.0 + TimedActions::kPauseTicks * TimedActions::kPauseTickMs / 1000.0);
    EXPECT_GE(sound, 3.0 - 0.1);
    expectNothingHeardUnkeyed(bursts);
}

TEST_F(OnAirTest, TransmittingFromTheSoundWindowEndsWithTheFile) {
    constexpr Seconds length = 3.0;
    Player& player = program->player();
    player.setCurrentFile(writeTone(QStringLiteral("reply.wav"), length));
    player.loadPlayerFile();
    // Keyed by hand, then the file played at normal speed: its end un-keys.
    program->transmitter().lbl_TX_Click();
    player.lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    player.lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    waitFor([this] { return lines.unkeys() >= 1; }, 15000);
    listenOn(1500);

    ASSERT_EQ(lines.unkeys(), 1);
    const StampedLines::Span& span = lines.spans.front();
    const std::vector<Burst> bursts = heardBursts(*monitor, 0.2);
    ASSERT_FALSE(bursts.empty()) << "nothing was heard";
    const Seconds first = bursts.front().from;
    const Seconds last = bursts.back().to;
    std::printf("sound window: keyed %.3f s, sound %.3f s (%zu stretch(es)), lead %.3f s, "
                "un-keyed tail %+.3f s, dead carrier %.3f s\n",
                span.unkeyed - span.keyed, last - first, bursts.size(), first - span.keyed,
                last - span.unkeyed, span.unkeyed - last);
    reportDeadCarrier("sound window", span, length);
    EXPECT_GE(last - first, length - 0.05);
    expectNothingHeardUnkeyed(bursts);
}

} // namespace
} // namespace kestrova::test

int main(int argc, char** argv) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
        std::puts("PulseAudio is not installed: skipped");
        return 77;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
