#include "base/archive/RecordingListModel.h"
#include "base/automation/AutoCq.h"
#include "base/automation/TimedActions.h"
#include "base/common/BatchedTimer.h"
#include "base/recorder/Recorder.h"
#include "base/transmit/Transmitter.h"
#include "gui/app/Program.h"
#include "gui/player/Player.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"
#include "gui/ui/WaveformView.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace kestrova {
namespace {

// Only what no test of the running program shows already: the program reaches its controls
// through the form's members, so their names and kinds need no test of their own.
TEST(FormControls, MainFormStartsWithAPercentThresholdAndTheAnswerLampHidden) {
    MainForm form;
    EXPECT_EQ(form.windowTitle(), "Kestrova");
    EXPECT_EQ(form.sli_Schwelle->maximum(), 100);
    EXPECT_TRUE(form.lblrsp->isHidden());
}

class SubsystemTimers : public test::ProgramFixture {};

// Each subsystem owns its timers under their old names; none runs before the start.
TEST_F(SubsystemTimers, EveryTimerIsConfiguredButIdle) {
    Program& program = makeProgram();
    Recorder& recorder = program.recorder();
    Player& player = program.player();
    AutoCq& cq = program.autoCq();
    const std::tuple<const QTimer*, const char*, int> timers[] = {
        {&recorder.silenceWatchTimer(), "tmrZT1", 1000},
        {&recorder.lampTimer(), "tmr_Blink", 400},
        {&recorder.recordingStartTimer(), "tmrAufnahme", 1000},
        {&recorder.pauseWatchTimer(), "tmrZT3", 1000},
        {&program.timedActions().clockTimer(), "tmr_Zeit", 200},
        {&player.playback().focusTimer(), "tmr_Focus", 200},
        {&player.continuousPlay().afterStopTimer(), "tmr_NachStop", 50},
        {&player.loader().freshStartTimer(), "tmr1", 50},
        {&player.loader().dialogLoadTimer(), "tmr2", 50},
        {&cq.airTimer(), "tmrCQ", 1000},
        {&cq.cqPauseTimer(), "tmrCQ_PAUSE", 6000},
        {&cq.squelchWatchTimer(), "tmrRSP", 100},
        {&player.playback().playTimer(), "tmr_Play", 1000},
        {&player.playback().followTimer(), "tmrplaywave", 200}};
    for (const auto& [timer, name, interval] : timers) {
        EXPECT_EQ(timer->objectName(), QString::fromUtf8(name));
        EXPECT_EQ(timer->interval(), interval) << name;
        EXPECT_FALSE(timer->isActive()) << name;
        EXPECT_FALSE(timer->isSingleShot()) << name;
    }
    // The meter's and the recording clock's timers keep their intervals but wake
    // for several ticks at once.
    const std::tuple<const BatchedTimer*, const char*, int, int> batched[] = {
        {&recorder.meter().meterTimer(), "tmrPegel", 10, 20}, {&recorder.recordingClock(), "tmrZT2", 100, 2}};
    for (const auto& [timer, name, interval, ticks] : batched) {
        EXPECT_EQ(timer->objectName(), QString::fromUtf8(name));
        EXPECT_EQ(timer->interval(), interval) << name;
        EXPECT_EQ(timer->ticksPerWake(), ticks) << name;
        EXPECT_FALSE(timer->isActive()) << name;
    }
}

TEST(FormControls, SettingsFormCaptionsEveryFieldAndTakesOnlyListedDevicesAndRates) {
    SettingsForm form;
    EXPECT_EQ(form.windowTitle(), "Einstellungen");
    for (int i = 13; i <= 30; ++i) {
        const QString name = QStringLiteral("lbl%1").arg(i);
        auto* label = form.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_FALSE(label->text().isEmpty()) << name.toStdString();
    }
    EXPECT_FALSE(form.cb_Device->isEditable());
    EXPECT_FALSE(form.cb_Sample->isEditable());
    EXPECT_EQ(form.lbl2->buddy(), form.ed_CQ);
}

TEST(FormControls, SettingsCaptionsDoNotOverlapTheirFields) {
    SettingsForm form;
    // Every caption with a buddy must end left of (or above) the field it names.
    const auto labels = form.findChildren<QLabel*>();
    int captioned = 0;
    for (QLabel* label : labels) {
        QWidget* field = label->buddy();
        if (!field) {
            continue;
        }
        ++captioned;
        const QRect a(label->mapTo(&form, QPoint(0, 0)), label->size());
        const QRect b(field->mapTo(&form, QPoint(0, 0)), field->size());
        EXPECT_FALSE(a.intersects(b)) << label->objectName().toStdString();
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(textWidth, label->contentsRect().width()) << label->objectName().toStdString();
    }
    EXPECT_GE(captioned, 18);
}

TEST(FormControls, InfoWrapsItsTextAndTheSoundWindowHasItsScales) {
    InfoForm info;
    EXPECT_TRUE(info.lbl_info->wordWrap());

    SoundForm sound;
    EXPECT_EQ(sound.windowTitle(), "Soundfenster");
    EXPECT_EQ(sound.slider->maximum(), 1000000);
    EXPECT_EQ(sound.sli_Lautst->maximum(), 65535);
    EXPECT_TRUE(sound.sli_Lautst->invertedAppearance());
    EXPECT_EQ(sound.pro1->maximum(), 32785);
    EXPECT_EQ(sound.frx1->size(), QSize(296, 65));
}

TEST(FormInstances, TwoFormsOfOneKindAreIndependent) {
    auto a = std::make_unique<MainForm>();
    auto b = std::make_unique<MainForm>();
    RecordingListModel aEntries;
    RecordingListModel bEntries;
    a->lb_Sounds->setModel(&aEntries);
    b->lb_Sounds->setModel(&bEntries);
    aEntries.append({QStringLiteral("x.wav"), 0.1});
    EXPECT_EQ(b->lb_Sounds->count(), 0);
    EXPECT_NE(a->lb_Sounds_mouse, b->lb_Sounds_mouse);
    a.reset();
    // The second form keeps working after the first is gone.
    bEntries.append({QStringLiteral("y.wav"), 0.2});
    EXPECT_EQ(b->lb_Sounds->count(), 1);

    SettingsForm s1;
    SettingsForm s2;
    s1.cb_PIN_keys->setHandler([](int& key) { key = 0; });
    EXPECT_FALSE(s2.cb_PIN_keys->handler());
}

TEST(MainFormWindow, StatusBarAtTheBottomAndListOnlyWhenTall) {
    MainForm form;
    form.show();
    setHeightTwips(&form, 2130);
    EXPECT_EQ(heightTwips(&form), 2130);
    EXPECT_EQ(form.sb->geometry().bottom(), form.height() - 1);
    // Short: nothing of the list frame may peek out above the status bar.
    EXPECT_TRUE(form.fr3->visibleRegion().isEmpty());
    EXPECT_FALSE(form.chk_Start->visibleRegion().isEmpty());
    EXPECT_FALSE(form.sli_Schwelle->visibleRegion().isEmpty());

    setHeightTwips(&form, 3975);
    EXPECT_EQ(heightTwips(&form), 3975);
    EXPECT_EQ(form.sb->geometry().bottom(), form.height() - 1);
    EXPECT_EQ(form.fr3->visibleRegion().boundingRect(), form.fr3->rect());
    EXPECT_FALSE(form.cmd_PAPA->visibleRegion().isEmpty());
}

TEST(MainFormWindow, CloseHookDecides) {
    MainForm form;
    QSignalSpy moved(&form, &MainForm::moved);
    form.show();
    form.move(form.pos() + QPoint(10, 10));
    EXPECT_GE(moved.count(), 1);

    int calls = 0;
    form.onClose = [&] {
        ++calls;
        form.cancelClose();
    };
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.onClose = [&] { ++calls; };
    EXPECT_TRUE(form.close());
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace kestrova
