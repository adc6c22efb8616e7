// When recordings start, pause, resume and end, driven through the timer handlers.
#include "base/common/BatchedTimer.h"
#include "base/recorder/Recorder.h"
#include "gui/app/Settings.h"
#include "gui/ui/MainForm.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace kestrova::test {
namespace {

class RecordingControlTest : public ProgramFixture {
protected:
    void start(const QList<QPair<int, QString>>& settings = {}) {
        writeIni(defaultIni(settings));
        startProgram();
        QTest::mouseClick(main().chk_Start, Qt::LeftButton);
        EXPECT_TRUE(recorder().isSwitchedOn());
    }
    MainForm& main() { return *program->frm_DoKu; }
    Recorder& recorder() { return program->recorder(); }
    // The level meter's tick over a block of one sample value (127: silence).
    void meter(std::uint8_t value) {
        fakes.audioInput.push(std::vector<std::uint8_t>(2048, value));
        recorder().meter().tmrPegel_Timer();
    }
    // A tenth of a second of the recording clock; the end watch every second.
    void tenths(int count) {
        for (int i = 1; i <= count; ++i) {
            recorder().tmrZT2_Timer();
            if (i % 10 == 0) {
                recorder().tmrZT1_Timer();
            }
        }
    }
    qsizetype saves() const { return fakes.capture.saved.size(); }
};

TEST_F(RecordingControlTest, SwitchingOnInSilenceRecordsUntilTheMinimumSilenceHasPassed) {
    start({{10, QStringLiteral("2")}}); // 20 tenths of silence end a recording
    EXPECT_TRUE(recorder().recordingActive);
    tenths(20);
    EXPECT_EQ(saves(), 0); // 20 tenths are not more than the minimum
    tenths(10);
    EXPECT_EQ(saves(), 1);
    EXPECT_FALSE(recorder().recordingActive);
    EXPECT_FALSE(program->recorder().recordingClock().isActive());
    EXPECT_FALSE(program->recorder().silenceWatchTimer().isActive());
    EXPECT_EQ(recorder().recordTicks, 0);
}

TEST_F(RecordingControlTest, ALevelAtTheThresholdNeverStartsARecording) {
    start({{10, QStringLiteral("1")}, {9, QStringLiteral("50")}});
    tenths(20); // the first recording ends in silence
    ASSERT_FALSE(recorder().recordingActive);
    recorder().meter().levelEnvelope = 64; // shows 50, the threshold
    for (int i = 0; i < 20; ++i) {
        meter(127 + 64);
    }
    EXPECT_FALSE(recorder().recordingActive);
    EXPECT_FALSE(fakes.capture.isOpen());
    meter(255);
    EXPECT_TRUE(recorder().recordingActive);
    EXPECT_TRUE(fakes.capture.isRecording());
}

TEST_F(RecordingControlTest, ASignalLongerThanTheMaximumIsSplit) {
    start({{11, QStringLiteral("3")}}); // 30 tenths at most
    for (int i = 0; i < 31; ++i) {
        meter(255);
        recorder().tmrZT2_Timer();
    }
    EXPECT_EQ(saves(), 0);
    meter(255);
    recorder().tmrZT2_Timer(); // finds 31 tenths, more than 30
    EXPECT_EQ(saves(), 1);
    EXPECT_FALSE(recorder().recordingActive);
    EXPECT_TRUE(program->recorder().recordingClock().isActive());
    EXPECT_TRUE(program->recorder().silenceWatchTimer().isActive());
    EXPECT_FALSE(fakes.capture.isOpen());
    meter(255); // the signal goes on: the next recording starts at once
    EXPECT_TRUE(recorder().recordingActive);
    EXPECT_TRUE(fakes.capture.isRecording());
}

TEST_F(RecordingControlTest, TheRecordingClockCountsFromTheRecordingsOwnStart) {
    start();
    meter(255);
    tenths(7);
    recorder().switchOff();
    EXPECT_FALSE(main().chk_Start->isChecked());
    recorder().switchOn();
    EXPECT_EQ(recorder().recordTicks, 0);
}

TEST_F(RecordingControlTest, SilencePausesTheCaptureAndTheNextSignalResumesItAtOnce) {
    start({{12, QStringLiteral("3")}});
    meter(255);
    ASSERT_TRUE(program->recorder().pauseWatchTimer().isActive());
    for (int i = 0; i < 4; ++i) {
        recorder().tmrZT3_Timer(); // pauseTicks 0, 1, 2, 3: not yet above 3
    }
    EXPECT_TRUE(fakes.capture.isRecording());
    recorder().tmrZT3_Timer();
    EXPECT_TRUE(fakes.capture.isPaused());
    EXPECT_TRUE(recorder().capturePaused);
    EXPECT_FALSE(program->recorder().pauseWatchTimer().isActive());

    meter(255); // the same recording goes on, resumed without waiting for the pause watch
    EXPECT_TRUE(fakes.capture.isRecording());
    EXPECT_FALSE(recorder().capturePaused);
    EXPECT_EQ(recorder().silenceTicks, 1);
    EXPECT_EQ(fakes.capture.captures, 1);
    EXPECT_EQ(saves(), 0);
    recorder().tmrZT3_Timer();
    EXPECT_TRUE(fakes.capture.isRecording());
}

TEST_F(RecordingControlTest, TheSilenceCountsOnWhilePaused) {
    start({{10, QStringLiteral("2")}, {12, QStringLiteral("1")}});
    meter(255);
    recorder().tmrZT3_Timer();
    recorder().tmrZT3_Timer();
    recorder().tmrZT3_Timer();
    ASSERT_TRUE(recorder().capturePaused);
    tenths(30);
    EXPECT_EQ(saves(), 1);
}

TEST_F(RecordingControlTest, ClosingTheMainWindowWhileRecordingSavesTheRecording) {
    start();
    meter(255);
    const QString name = recorder().capture().recordingName;
    QCloseEvent close;
    QCoreApplication::sendEvent(&main(), &close);
    EXPECT_EQ(fakes.capture.saved, QStringList{name});
    EXPECT_FALSE(fakes.capture.isOpen());
    EXPECT_TRUE(program->hasEnded());
    EXPECT_FALSE(program->recorder().meter().meterTimer().isActive());
}

} // namespace
} // namespace kestrova::test
