// The recorder on the main window: switching, the meter's effects and the capture,
// driven through the handlers with fake devices and a fake clock.
#include "base/recorder/Recorder.h"

#include "base/archive/Archive.h"
#include "base/common/BatchedTimer.h"
#include "base/recorder/LevelMeterControl.h"
#include "gui/app/Settings.h"
#include "gui/player/Player.h"
#include "gui/ui/Colors.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/StatusBar.h"
#include "gui/ui/ValueBar.h"
#include "support/FakePlatform.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

namespace kestrova::test {
namespace {

class RecorderTest : public ProgramFixture {
protected:
    MainForm& main() { return *program->frm_DoKu; }
    Recorder& recorder() { return program->recorder(); }
    void switchOn() { recorder().switchOn(); }
    void switchOff() { recorder().switchOff(); }
    // One meter tick over a block of the given sample value.
    void meterTick(std::uint8_t value, std::size_t samples = 2048) {
        fakes.audioInput.push(std::vector<std::uint8_t>(samples, value));
        recorder().meter().tmrPegel_Timer();
    }
};

TEST_F(RecorderTest, SwitchingOnOpensTheSelectedDeviceAndStartsARecordingAtOnce) {
    startProgram();
    switchOn();
    EXPECT_EQ(main().fr2->title(), QStringLiteral("Recorder eingeschaltet"));
    EXPECT_EQ(foreColor(main().fr2), kColorRed);
    EXPECT_FALSE(main().cmd_File_lö->isEnabled());
    ASSERT_EQ(fakes.audioInput.opens.size(), 1u);
    EXPECT_EQ(fakes.audioInput.opens[0].position, 0);
    EXPECT_EQ(fakes.audioInput.opens[0].sampleRate, 11025);
    EXPECT_TRUE(program->recorder().meter().meterTimer().isActive());
    EXPECT_TRUE(program->recorder().silenceWatchTimer().isActive());
    EXPECT_TRUE(program->recorder().recordingClock().isActive());
    EXPECT_TRUE(program->recorder().lampTimer().isActive());
    // Only the first signal starts the pause watch.
    EXPECT_FALSE(program->recorder().pauseWatchTimer().isActive());
    EXPECT_TRUE(recorder().recordingActive);
    EXPECT_EQ(recorder().capture().recordingName, QStringLiteral("1_08-17-2012_14-30-12.wav"));
    EXPECT_TRUE(fakes.capture.isRecording());
    EXPECT_EQ(fakes.capture.sampleRate, 11025);
    EXPECT_EQ(fakes.capture.captures, 1);
}

// Started before the sound server, say: the recorder is on and keeps trying the
// device quietly, tells it once, and records as soon as the device delivers.
TEST_F(RecorderTest, ADeviceThatCannotBeOpenedYetIsTriedUntilItDelivers) {
    fakes.audioInput.canOpen = false;
    startProgram();
    switchOn();
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    EXPECT_TRUE(program->recorder().meter().meterTimer().isActive());
    EXPECT_EQ(main().fr2->title(), QStringLiteral("Recorder eingeschaltet"));
    program->recorder().meter().runTicks(1);
    const QString note = QStringLiteral("Eingabegerät lässt sich nicht öffnen – neuer Versuch jede Sekunde");
    EXPECT_EQ(program->statusBar().inputNoteText(), note);
    for (int tick = 0; tick < 5; ++tick) {
        program->recorder().meter().runTicks(1);
    }
    EXPECT_EQ(fakes.events.containing(note).size(), 1);

    fakes.audioInput.canOpen = true;
    fakes.inputMs += 1000; // the next attempt is due a second after the last
    program->recorder().meter().runTicks(1);
    ASSERT_GE(fakes.audioInput.opens.size(), 2u);
    fakes.audioInput.push(std::vector<std::uint8_t>(2048, 128));
    program->recorder().meter().runTicks(1);
    EXPECT_TRUE(program->statusBar().inputNoteText().isEmpty());
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Eingabegerät liefert wieder")).size(), 1);
}

TEST_F(RecorderTest, TheCaptureRateFollowsTheExactTextOfTheRateBox) {
    startProgram();
    for (const int rate : {8000, 22050, 44100}) {
        fakes.capture.close(); // each capture starts on a closed device
        program->frm_Einstellungen->cb_Sample->setCurrentIndex(
            program->frm_Einstellungen->cb_Sample->findText(QString::number(rate)));
        recorder().capture().startCapture();
        EXPECT_TRUE(fakes.capture.isRecording()) << rate;
        EXPECT_EQ(fakes.capture.sampleRate, rate);
    }
    fakes.capture.close();
    program->frm_Einstellungen->cb_Sample->setEditable(true);
    program->frm_Einstellungen->cb_Sample->setEditText(QStringLiteral("11025 "));
    recorder().capture().startCapture();
    EXPECT_FALSE(fakes.capture.isOpen());
    EXPECT_FALSE(recorder().capture().recordingName.isEmpty()); // the name is built all the same
}

TEST_F(RecorderTest, TheMeterShowsTheLastSampleAndReportsSignalsAboveTheThreshold) {
    startProgram();
    switchOn();
    meterTick(255);
    EXPECT_EQ(main().lbl_PegelAnzeige->text(), QStringLiteral("100"));
    EXPECT_EQ(recorder().meter().barValue, 102);
    EXPECT_EQ(main().Progressbar1->value(), 100);
    EXPECT_EQ(backColor(main().lbl_ROTL), kColorRed);
    EXPECT_EQ(recorder().silenceTicks, 1);
    EXPECT_EQ(recorder().pauseTicks, -1);
    EXPECT_TRUE(program->recorder().pauseWatchTimer().isActive());
    for (int i = 0; i < 30; ++i) {
        meterTick(127);
    }
    EXPECT_EQ(backColor(main().lbl_ROTL), kColorButtonFace);
    // A level that stays is not written out again at every wake-up.
    int figures = 0;
    QObject::connect(&recorder().meter(), &LevelMeterControl::levelShown, [&figures] { ++figures; });
    for (int i = 0; i < 3; ++i) {
        meterTick(255);
    }
    EXPECT_EQ(figures, 1);
    EXPECT_EQ(main().lbl_PegelAnzeige->text(), QStringLiteral("100"));
}

TEST_F(RecorderTest, TicksRunTogetherEachMeasureTheInputAsItStoodAtTheirTime) {
    startProgram();
    switchOn();
    const std::uint8_t blocks[] = {127, 127, 255, 127, 127};
    LevelMeterControl& meter = recorder().meter();
    meter.levelEnvelope = 0;
    for (const std::uint8_t value : blocks) {
        meterTick(value);
    }
    const float oneByOne = meter.levelEnvelope;
    const QString shownOneByOne = main().lbl_PegelAnzeige->text();

    meter.levelEnvelope = 0;
    for (const std::uint8_t value : blocks) {
        fakes.audioInput.push(std::vector<std::uint8_t>(2048, value));
    }
    meter.runTicks(5);
    EXPECT_EQ(meter.levelEnvelope, oneByOne);
    EXPECT_EQ(main().lbl_PegelAnzeige->text(), shownOneByOne);
    EXPECT_GT(oneByOne, 50.0f); // the loud block in the middle was seen, not only the quiet end
}

TEST_F(RecorderTest, TheThresholdSliderWritesTheStartLevelAndTheIntervalClickTheTimer) {
    startProgram();
    main().sli_Schwelle->setValue(42);
    EXPECT_EQ(main().lbl_Schwelle->text(), QStringLiteral("42"));
    EXPECT_EQ(program->frm_Einstellungen->ed_StartPegel->text(), QStringLiteral("42"));
    program->frm_Einstellungen->ed_Interval->setText(QStringLiteral("25.4"));
    recorder().meter().chooseMeterInterval(program->frm_Einstellungen->ed_Interval->text());
    EXPECT_EQ(program->recorder().meter().meterTimer().interval(), 25);
    EXPECT_EQ(program->frm_Einstellungen->lbl33->text(), QStringLiteral("25 ms"));
}

TEST_F(RecorderTest, SwitchingOffKeepsTheEnvelopeAndClosesTheDevice) {
    startProgram();
    switchOn();
    meterTick(255);
    const float envelope = recorder().meter().levelEnvelope;
    switchOff();
    EXPECT_TRUE(fakes.audioInput.feed->closed);
    EXPECT_FALSE(program->recorder().meter().meterTimer().isActive());
    EXPECT_EQ(main().Progressbar1->value(), 0);
    EXPECT_EQ(recorder().meter().levelEnvelope, envelope);
    EXPECT_EQ(main().fr2->title(), QStringLiteral("Recorder ausgeschaltet"));
    EXPECT_TRUE(recorder().capture().recordingName.isEmpty());
    EXPECT_TRUE(program->player().continuousPlay().afterStopTimer().isActive());
    EXPECT_EQ(fakes.capture.saved, QStringList{QStringLiteral("1_08-17-2012_14-30-12.wav")});
    EXPECT_FALSE(fakes.capture.isOpen());
}

TEST_F(RecorderTest, TheRecordingLampBlinksThroughThreeColoursWhileTheRecorderIsOn) {
    startProgram();
    switchOn();
    recorder().blinkPhase = 0;
    recorder().tmr_Blink_Timer();
    EXPECT_EQ(backColor(main().lbl_Record), kColorDarkRed);
    recorder().tmr_Blink_Timer();
    EXPECT_EQ(backColor(main().lbl_Record), kColorUndefinedSystem);
    recorder().tmr_Blink_Timer();
    EXPECT_EQ(backColor(main().lbl_Record), kColorRed);
    EXPECT_EQ(recorder().blinkPhase, 0);
}

TEST_F(RecorderTest, ACaptureThatCannotStartIsReportedOnceAndNotShownAsRecording) {
    fakes.capture.openResult = CaptureResult::FileError;
    startProgram();
    switchOn();
    recorder().tmrZT1_Timer();
    recorder().finishRecording();
    recorder().recordingActive = false;
    meterTick(250); // the next transmission fails the same way
    for (int tick = 0; tick < 3; ++tick) {
        recorder().tmr_Blink_Timer();
        EXPECT_EQ(backColor(main().lbl_Record), kColorIdleLamp);
    }
    EXPECT_TRUE(program->statusBar().captureTroubleText().contains(QStringLiteral("Programmordner")));
    QCoreApplication::processEvents();
    EXPECT_EQ(
        std::count_if(fakes.dialogs.messages.begin(), fakes.dialogs.messages.end(),
                      [](const ShownMessage& shown) { return shown.text.startsWith(u"Keine Aufnahme"); }),
        1);

    fakes.capture.openResult = CaptureResult::Ok;
    recorder().finishRecording();
    recorder().recordingActive = false;
    meterTick(250);
    recorder().tmr_Blink_Timer();
    EXPECT_NE(backColor(main().lbl_Record), kColorIdleLamp);
    EXPECT_TRUE(program->statusBar().captureTroubleText().isEmpty());
}

} // namespace
} // namespace kestrova::test
