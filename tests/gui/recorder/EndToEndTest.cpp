// The whole recorder on a file-fed input: real input hub, capture device and
// filing, with the program's timers stepped by the test in simulated real time.
#include "base/archive/Archive.h"
#include "base/audio/FileFedInput.h"
#include "base/audio/InputHub.h"
#include "base/audio/WorkingFileCapture.h"
#include "base/common/BatchedTimer.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsFile.h"
#include "base/wav/Wav8Header.h"
#include "gui/app/Settings.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/StatusBar.h"
#include "support/NoAudioInput.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace kestrova::test {
namespace {

constexpr int rate = 11025;

QByteArray wavFile(const std::vector<std::uint8_t>& samples, int sampleRate) {
    const auto header = wav8Header(static_cast<std::uint32_t>(samples.size()), sampleRate);
    QByteArray file(reinterpret_cast<const char*>(header.data()), static_cast<qsizetype>(header.size()));
    file.append(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size()));
    return file;
}

// Stretches of silence and tone in turn, silence first, each as many seconds long.
std::vector<std::uint8_t> silenceAndTone(std::initializer_list<double> seconds) {
    std::vector<std::uint8_t> samples;
    bool tone = false;
    for (const double stretch : seconds) {
        for (int i = 0; i < int(stretch * rate); ++i) {
            samples.push_back(
                tone ? static_cast<std::uint8_t>(128 + 100 * std::sin(2 * M_PI * 440.0 * i / rate)) : 128);
        }
        tone = !tone;
    }
    return samples;
}

// Silence, then three tone bursts of 2 s with 3 s of silence after each.
std::vector<std::uint8_t> threeBursts() {
    return silenceAndTone({1.0, 2.0, 3.0, 2.0, 3.0, 2.0, 3.0});
}

// Stands between the program and the file-fed device: while `deaf`, its streams
// deliver nothing (and, with `reportsError`, say so) and it cannot be opened, as
// when the sound server has gone away.
class DyingInput final : public AudioInput {
public:
    explicit DyingInput(AudioInput& wrapped) : wrapped_(wrapped) {}
    std::vector<InputDeviceInfo> devices() override { return wrapped_.devices(); }
    std::unique_ptr<InputStream> open(int position, int sampleRate) override {
        ++opens;
        auto stream = deaf ? nullptr : wrapped_.open(position, sampleRate);
        return stream ? std::make_unique<Stream>(std::move(stream), *this) : nullptr;
    }

    bool deaf = false;
    bool reportsError = false;
    int opens = 0;

private:
    class Stream final : public InputStream {
    public:
        Stream(std::unique_ptr<InputStream> inner, const DyingInput& input)
            : inner_(std::move(inner)), input_(input) {}
        int sampleRate() const override { return inner_->sampleRate(); }
        std::size_t read(std::vector<std::uint8_t>& sink) override {
            std::vector<std::uint8_t> lost;
            return inner_->read(input_.deaf ? lost : sink) * (input_.deaf ? 0 : 1);
        }
        bool failed() const override { return input_.deaf && input_.reportsError; }

    private:
        std::unique_ptr<InputStream> inner_;
        const DyingInput& input_;
    };
    AudioInput& wrapped_;
};

class EndToEndTest : public ProgramFixture {
protected:
    void SetUp() override { feed(wavFile(threeBursts(), rate)); }

    void feed(const QByteArray& wav) {
        const QString input = dir.filePath(QStringLiteral("traffic.wav"));
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(wav);
        file.close();
        fed = std::make_unique<FileFedInput>(none, input, [this] { return elapsed; });
        dying = std::make_unique<DyingInput>(*fed);
        hub = std::make_unique<InputHub>(*dying, [this] { return elapsed; });
        capture = std::make_unique<WorkingFileCapture>(
            *hub, [] { return -1; }, dir.path());
    }

    Platform platform() {
        return {fakes.clock,
                fakes.dialogs,
                *dying,
                *hub,
                *capture,
                fakes.player,
                fakes.sounds,
                fakes.audioOutput,
                fakes.serial,
                fakes.events,
                fakes.serviceManager,
                fakes.diskSpace};
    }

    // The program started on the fed input with these lines of its settings.
    void startWith(const QList<QPair<int, QString>>& settings) {
        writeIni(defaultIni(settings));
        program = std::make_unique<Program>(platform(), ProgramOptions{dir.path()});
        program->main();
    }

    QStringList keptRecordings() const {
        const QDir kept(dir.filePath(QStringLiteral("W")));
        QStringList paths;
        for (const QString& name : kept.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
            paths << kept.filePath(name);
        }
        return paths;
    }

    // Runs the program's timers for `milliseconds` of simulated time: the meter
    // every 10 ms, the recording clock every 100 ms, the watches every second.
    void run(int milliseconds) {
        Recorder& recorder = program->recorder();
        for (int t = 0; t < milliseconds; t += 10) {
            elapsed += 10;
            now += 10;
            fakes.clock.advance(10);
            if (recorder.meter().meterTimer().isActive()) {
                recorder.meter().tmrPegel_Timer();
            }
            if (now % 100 == 0 && recorder.recordingClock().isActive()) {
                recorder.tmrZT2_Timer();
            }
            if (now % 1000 == 0) {
                if (recorder.silenceWatchTimer().isActive()) {
                    recorder.tmrZT1_Timer();
                }
                if (recorder.pauseWatchTimer().isActive()) {
                    recorder.tmrZT3_Timer();
                }
            }
            if (now % 200 == 0) {
                capture->pump();
            }
        }
    }

    NoAudioInput none;
    qint64 elapsed = 0;
    qint64 now = 0;
    std::unique_ptr<FileFedInput> fed;
    std::unique_ptr<DyingInput> dying;
    std::unique_ptr<InputHub> hub;
    std::unique_ptr<WorkingFileCapture> capture;
};

TEST_F(EndToEndTest, ThreeTransmissionsBecomeThreeRecordings) {
    startWith({{10, QStringLiteral("1")}, {16, QStringLiteral("1")}, {23, QStringLiteral("0")}});
    ASSERT_TRUE(program->recorder().isSwitchedOn());
    run(17'000);

    // The recording started in the silence at switch-on is too short to keep.
    const QStringList saved =
        QDir(dir.path()).entryList({QStringLiteral("1_08-17-2012_*.wav")}, QDir::Files, QDir::Name);
    const QStringList kept =
        QDir(dir.filePath(QStringLiteral("W"))).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 3) << saved.join(QLatin1Char(' ')).toStdString();
    for (const QString& name : kept) {
        QFile file(dir.filePath(QStringLiteral("W/") + name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_GT(bytes.size(), 44);
        const auto header = wav8Header(static_cast<std::uint32_t>(bytes.size() - 44), rate);
        EXPECT_EQ(bytes.left(44), QByteArray(reinterpret_cast<const char*>(header.data()), 44))
            << name.toStdString();
        const double seconds = (bytes.size() - 44) / double(rate);
        // 2 s of tone, the half second before it (the whole second of silence for the
        // recording started at switch-on), and the silence until the end watch saw more
        // than 1 s of it.
        EXPECT_GT(seconds, 3.5) << name.toStdString();
        EXPECT_LT(seconds, 5.1) << name.toStdString();
        // The half second before the signal is in the file: the tone does not start at once.
        EXPECT_EQ(static_cast<unsigned char>(bytes.at(44 + 100)), 128);
        EXPECT_EQ(name.size(), 25);
        const QString dated = QStringLiteral("Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/") + name;
        EXPECT_TRUE(QFile::exists(dir.filePath(dated))) << dated.toStdString();
    }
}

struct Tone {
    double startsAt = -1; // seconds into the recording
    double seconds = 0;
};

Tone toneIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray samples = file.readAll().mid(44);
    const auto isLoud = [](char sample) { return std::abs(static_cast<unsigned char>(sample) - 128) > 50; };
    const auto first = std::find_if(samples.begin(), samples.end(), isLoud);
    // The tone is above half its peak two thirds of the time.
    return {first == samples.end() ? -1 : double(first - samples.begin()) / rate,
            1.5 * double(std::count_if(samples.begin(), samples.end(), isLoud)) / rate};
}

// The input goes deaf in the middle of the first transmission (silently, or with
// an error) and comes back: the device plays the file again from its start.
class InputLossTest : public EndToEndTest, public ::testing::WithParamInterface<bool> {};

TEST_P(InputLossTest, TheRecordingIsSavedAndTheInputOpenedAgainUntilItDelivers) {
    startWith({{10, QStringLiteral("1")}, {16, QStringLiteral("1")}, {23, QStringLiteral("0")}});
    run(2'500);
    dying->deaf = true;
    dying->reportsError = GetParam();
    const int opensBefore = dying->opens;
    // An error is noticed at once, a silent device after a second.
    const int noticed = GetParam() ? 10 : 1'010;
    run(noticed);

    const QDir kept(dir.filePath(QStringLiteral("W")));
    const QStringList wav{QStringLiteral("*.wav")};
    QStringList names = kept.entryList(wav, QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 1) << "filed when the input went deaf";
    EXPECT_NEAR(toneIn(kept.filePath(names[0])).seconds, 1.5, 0.1);
    EXPECT_EQ(program->statusBar().inputNoteText(),
              QStringLiteral("Eingabegerät liefert nichts – wird neu geöffnet"));
    EXPECT_FALSE(program->recorder().recordingActive);
    run(3'000 - noticed);
    EXPECT_GE(dying->opens - opensBefore, 2) << "opened again every second or so";

    dying->deaf = false;
    run(8'000);
    EXPECT_TRUE(program->statusBar().inputNoteText().isEmpty());
    names = kept.entryList(wav, QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 2) << "the transmission after the gap";
    const Tone after = toneIn(kept.filePath(names[1]));
    EXPECT_NEAR(after.seconds, 2.0, 0.1);
    EXPECT_NEAR(after.startsAt, 0.5, 0.01) << "started by the tone, not by what was heard before the gap";
    EXPECT_TRUE(program->recorder().recordingActive) << "and listening on";
}

INSTANTIATE_TEST_SUITE_P(SilentOrFailing, InputLossTest, ::testing::Bool());

// At most 4 s a recording, 3 s of silence end one, the capture paused after a
// second or two of silence. The first transmission is split just after it ended; the
// second begins 2.8 s later, and the last of its parts is short: all of both is kept.
TEST_F(EndToEndTest, NothingOfATransmissionIsLostAfterASplit) {
    feed(wavFile(silenceAndTone({1.0, 2.7, 2.8, 9.0, 8.0}), rate));
    startWith({{10, QStringLiteral("3")},
               {11, QStringLiteral("4")},
               {12, QStringLiteral("0")},
               {16, QStringLiteral("1")},
               {23, QStringLiteral("0")}});
    run(22'000);
    double toneKept = 0;
    for (const QString& path : keptRecordings()) {
        toneKept += toneIn(path).seconds;
    }
    EXPECT_NEAR(toneKept, 2.7 + 9.0, 0.2);
    EXPECT_TRUE(fakes.events.containing(QStringLiteral("verworfen")).isEmpty())
        << fakes.events.lines.join(QLatin1Char('\n')).toStdString();
    // Nor by the next list pass, which deletes recordings shorter than the minimum.
    const QStringList kept = keptRecordings();
    program->archive().refreshRecordingList();
    EXPECT_EQ(keptRecordings(), kept);
}

// Switched on in silence, with the minimum of 2 s a demonstration uses: the
// capture begun to catch a running transmission heard none and is thrown away.
TEST_F(EndToEndTest, ASwitchOnInSilenceFilesNothing) {
    feed(wavFile(silenceAndTone({6.0}), rate));
    startWith({{10, QStringLiteral("2")}, {16, QStringLiteral("1")}, {23, QStringLiteral("0")}});
    QList<bool> recording;
    QObject::connect(&program->recorder(), &Recorder::recordingChanged,
                     [&recording](bool on) { recording << on; });
    run(1'000);
    EXPECT_FALSE(program->recorder().pauseWatchTimer().isActive()) << "the meter reported a signal";
    run(5'000);
    EXPECT_TRUE(keptRecordings().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("1_*.wav")}, QDir::Files).isEmpty());
    EXPECT_TRUE(recording.isEmpty()) << "told as a recording";
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Aufnahme verworfen")),
              QStringList({QStringLiteral("Aufnahme verworfen, kein Signal seit dem Einschalten: "
                                          "1_08-17-2012_14-30-12.wav")}));
}

TEST_F(EndToEndTest, ASwitchOnDuringATransmissionKeepsItFromItsFirstSample) {
    feed(wavFile(silenceAndTone({0.0, 2.0, 4.0}), rate));
    startWith({{10, QStringLiteral("2")}, {16, QStringLiteral("1")}, {23, QStringLiteral("0")}});
    run(6'000);
    const QStringList kept = keptRecordings();
    ASSERT_EQ(kept.size(), 1);
    const Tone tone = toneIn(kept[0]);
    EXPECT_NEAR(tone.startsAt, 0.0, 0.01);
    EXPECT_NEAR(tone.seconds, 2.0, 0.1);
}

TEST_F(EndToEndTest, AProgramFolderDeletedWhileRecordingLosesNoRecording) {
    const QString programFolder = dir.filePath(QStringLiteral("program"));
    const QString docFolder = dir.filePath(QStringLiteral("doc"));
    ASSERT_TRUE(QDir().mkpath(programFolder));
    writeIni(defaultIni({{2, docFolder}, {10, QStringLiteral("1")}, {16, QStringLiteral("1")}}));
    ASSERT_TRUE(QFile::rename(iniPath(), settingsFilePath(programFolder)));
    capture = std::make_unique<WorkingFileCapture>(
        *hub, [] { return -1; }, programFolder);
    program = std::make_unique<Program>(platform(), ProgramOptions{programFolder});
    program->main();
    ASSERT_TRUE(program->recorder().isSwitchedOn());
    run(2'000);
    ASSERT_TRUE(QDir(programFolder).removeRecursively());
    run(15'000);

    const QStringList kept =
        QDir(docFolder + QStringLiteral("/W")).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    EXPECT_EQ(kept.size(), 3) << kept.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QDir(docFolder).entryList({QStringLiteral("*.wav")}, QDir::Files).isEmpty());
}

// Quiet and loud stretches of random bytes: no run of a dozen repeats, so every
// piece of a recording shows where in the input it came from.
class CodedInputTest : public EndToEndTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        std::mt19937 random(GetParam());
        std::uniform_int_distribution<int> quiet(117, 137);
        std::uniform_int_distribution<int> loud(80, 127);
        std::vector<std::uint8_t> samples;
        const auto add = [&](double seconds, auto&& sample) {
            for (int i = 0; i < int(seconds * GetParam()); ++i) {
                samples.push_back(static_cast<std::uint8_t>(sample()));
            }
        };
        add(4.0, [&] { return quiet(random); });
        firstLoud = static_cast<qsizetype>(samples.size());
        add(14.0, [&] { return 127 + (random() % 2 == 0 ? 1 : -1) * loud(random); });
        add(4.0, [&] { return quiet(random); });
        const QByteArray wav = wavFile(samples, GetParam());
        coded = wav.mid(44);
        feed(wav);
    }

    QByteArray coded;
    qsizetype firstLoud = 0;
};

TEST_P(CodedInputTest, ASplitTransmissionJoinsExactlyAndKeepsHalfASecondBeforeIt) {
    const int sampleRate = GetParam();
    startWith({{4, QString::number(sampleRate)},
               {9, QStringLiteral("30")},
               {10, QStringLiteral("1")},
               {11, QStringLiteral("6")},
               {16, QStringLiteral("1")},
               {23, QStringLiteral("0")}});
    run(3'900);
    // The user-interface thread stalls for the full second the input's buffer
    // holds, as the transmission begins: the meter catches up in one wake-up, and
    // the pre-roll still counts from what it heard.
    elapsed += 1000;
    now += 1000;
    fakes.clock.advance(1000);
    program->recorder().meter().runTicks(100);
    run(20'000);

    // Each kept recording, found in the input by its first bytes, in input order;
    // the one started in the quiet at switch-on is left out.
    std::map<qsizetype, QByteArray> pieces;
    const QDir kept(dir.filePath(QStringLiteral("W")));
    for (const QString& name : kept.entryList({QStringLiteral("*.wav")}, QDir::Files)) {
        QFile file(kept.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray samples = file.readAll().mid(44);
        const qsizetype at = coded.indexOf(samples.left(64));
        ASSERT_GE(at, 0) << name.toStdString() << " is not a piece of the input";
        if (at + samples.size() > firstLoud - sampleRate) {
            pieces[at] = samples;
        }
    }
    ASSERT_EQ(pieces.size(), 3u) << "14 s at most 6 s a recording";
    const qsizetype start = pieces.begin()->first;
    EXPECT_NEAR(double(firstLoud - start), sampleRate / 2, 2.0) << "samples kept before the first loud one";
    QByteArray joined;
    for (const auto& [at, samples] : pieces) {
        EXPECT_EQ(at, start + joined.size()) << "seam at input sample " << start + joined.size();
        joined += samples;
    }
    EXPECT_TRUE(joined == coded.mid(start, joined.size())) << "the recordings are the input as fed";
    EXPECT_GT(start + joined.size(), firstLoud + 14 * sampleRate) << "up to the end of the transmission";
}

INSTANTIATE_TEST_SUITE_P(Rates, CodedInputTest, ::testing::Values(8000, 11025));

} // namespace
} // namespace kestrova::test
