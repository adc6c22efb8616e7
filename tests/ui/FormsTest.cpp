#include "app/Program.h"
#include "player/Player.h"
#include "recorder/Recorder.h"
#include "support/ProgramFixture.h"
#include "transmit/AutoCq.h"
#include "transmit/TimedActions.h"
#include "transmit/Transmitter.h"
#include "ui/BatchedTimer.h"
#include "ui/ControlEvents.h"
#include "ui/FormGeometry.h"
#include "ui/InfoForm.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/WaveformView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
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

struct Expected {
    const char* name;
    const char* kind;
};

// The program finds controls by these names; a rename or a wrong kind breaks it silently.
void expectControls(const QWidget& form, std::initializer_list<Expected> controls) {
    for (const Expected& e : controls) {
        const QString name = QString::fromUtf8(e.name);
        QObject* found = form.findChild<QObject*>(name);
        ASSERT_NE(found, nullptr) << e.name;
        EXPECT_TRUE(found->inherits(e.kind)) << e.name << " is " << found->metaObject()->className();
    }
}

TEST(FormControls, MainFormHasEveryNamedControl) {
    MainForm form;
    EXPECT_EQ(form.objectName(), "frm_DoKu");
    EXPECT_EQ(form.windowTitle(), "Kestrova");
    expectControls(form, {{"fr2", "QGroupBox"},
                          {"chk_Start", "QCheckBox"},
                          {"lbl_Record", "QLabel"},
                          {"fr3", "QGroupBox"},
                          {"lb_Sounds", "QListWidget"},
                          {"cmd_File_lö", "QPushButton"},
                          {"cmd_zur", "QPushButton"},
                          {"lbl_Schwelle", "QLabel"},
                          {"lbl_PegelAnzeige", "QLabel"},
                          {"sli_Schwelle", "QSlider"},
                          {"Progressbar1", "QProgressBar"},
                          {"lbl_ROTL", "QLabel"},
                          {"progressbar3", "QProgressBar"},
                          {"progressbar4", "QProgressBar"},
                          {"lbl1", "QLabel"},
                          {"lbl31", "QLabel"},
                          {"lbl_Proz", "QLabel"},
                          {"tb1", "QFrame"},
                          {"lbl_Menue", "kestrova::LabelButton"},
                          {"lbl_LoadWave", "kestrova::LabelButton"},
                          {"sb", "QStatusBar"},
                          {"lblCQ", "kestrova::LabelButton"},
                          {"cmd_PAPA", "QPushButton"},
                          {"lblrsp", "QLabel"}});
    EXPECT_EQ(form.cmd_File_lö->objectName(), "cmd_File_lö");
    EXPECT_EQ(form.sli_Schwelle->maximum(), 100);
    EXPECT_EQ(form.Progressbar1->maximum(), 100);
    EXPECT_FALSE(form.Progressbar1->isTextVisible());
    EXPECT_EQ(form.lbl_Menue->border(), LabelBorder::Flat);
    EXPECT_EQ(form.lbl_LoadWave->border(), LabelBorder::Flat);
    EXPECT_EQ(form.lblCQ->border(), LabelBorder::Raised);
    EXPECT_TRUE(form.lblrsp->isHidden());
}

class SubsystemTimers : public test::ProgramFixture {};

// Each subsystem owns its timers under their old names; none runs before the start.
TEST_F(SubsystemTimers, EveryTimerIsConfiguredButIdle) {
    Program& program = makeProgram();
    Recorder& recorder = program.recorder();
    Player& player = program.player();
    AutoCq& cq = program.transmitter().autoCq();
    const std::tuple<QTimer*, const char*, int> timers[] = {
        {&recorder.tmrZT1, "tmrZT1", 1000},
        {&recorder.tmrZT2, "tmrZT2", 100},
        {&recorder.tmr_Blink, "tmr_Blink", 300},
        {&recorder.tmrAufnahme, "tmrAufnahme", 1000},
        {&recorder.tmrZT3, "tmrZT3", 1000},
        {&program.timedActions().tmr_Zeit, "tmr_Zeit", 250},
        {&player.tmr_Focus, "tmr_Focus", 200},
        {&player.tmr_NachStop, "tmr_NachStop", 50},
        {&player.tmr1, "tmr1", 50},
        {&player.tmr2, "tmr2", 50},
        {&cq.tmrCQ, "tmrCQ", 1000},
        {&cq.tmrCQ_PAUSE, "tmrCQ_PAUSE", 6000},
        {&cq.tmrRSP, "tmrRSP", 100},
        {&player.tmr_Play, "tmr_Play", 1000},
        {&player.tmrplaywave, "tmrplaywave", 100}};
    for (const auto& [timer, name, interval] : timers) {
        EXPECT_EQ(timer->objectName(), QString::fromUtf8(name));
        EXPECT_EQ(timer->interval(), interval) << name;
        EXPECT_FALSE(timer->isActive()) << name;
        EXPECT_FALSE(timer->isSingleShot()) << name;
    }
    // The meter's timer keeps its 10 ms interval but wakes for five ticks at once.
    const BatchedTimer& meter = recorder.meter().tmrPegel;
    EXPECT_EQ(meter.objectName(), QStringLiteral("tmrPegel"));
    EXPECT_EQ(meter.interval(), 10);
    EXPECT_EQ(meter.ticksPerWake(), 5);
    EXPECT_FALSE(meter.isActive());
}

TEST(FormControls, SettingsFormHasEveryNamedControlAndEmptyLists) {
    SettingsForm form;
    EXPECT_EQ(form.objectName(), "frm_Einstellungen");
    EXPECT_EQ(form.windowTitle(), "Einstellungen");
    expectControls(form, {{"cb_Device", "QComboBox"},
                          {"cb_Sample", "QComboBox"},
                          {"cb_Kanal", "QComboBox"},
                          {"cb_Com", "QComboBox"},
                          {"cb_PIN", "QComboBox"},
                          {"cb_PIN_RX", "QComboBox"},
                          {"ed_PfadDoku", "QLineEdit"},
                          {"ed_FunkName", "QLineEdit"},
                          {"ed_FK", "QLineEdit"},
                          {"ed_StartPegel", "QLineEdit"},
                          {"ed_AufnZeitMin", "QLineEdit"},
                          {"ed_AufnZeitMax", "QLineEdit"},
                          {"ed_PauseStille", "QLineEdit"},
                          {"ed_PauseSignal", "QLineEdit"},
                          {"ed_FilesLöschen", "QLineEdit"},
                          {"ed_PlayPegel", "QLineEdit"},
                          {"ed_Interval", "QLineEdit"},
                          {"ed_CQ", "QLineEdit"},
                          {"chk_StartAuto", "QCheckBox"},
                          {"chk_Sichtbar", "QCheckBox"},
                          {"chk_Log_Anz", "QCheckBox"},
                          {"chk_AufnDoku", "QCheckBox"},
                          {"chk_TX", "QCheckBox"},
                          {"chk_Sichtbar2", "QCheckBox"},
                          {"chkFortlaufend", "QCheckBox"},
                          {"chkPapagei", "QCheckBox"},
                          {"cmd_SK", "QPushButton"},
                          {"cmd_Speichern", "QPushButton"},
                          {"cmd_Zurück", "QPushButton"},
                          {"cmdPfad", "QPushButton"},
                          {"fr5", "QGroupBox"},
                          {"fr6", "QGroupBox"},
                          {"fr7", "QGroupBox"},
                          {"lbl2", "QLabel"},
                          {"lbl3", "QLabel"},
                          {"lbl5", "QLabel"},
                          {"lbl7", "QLabel"},
                          {"lbl10", "QLabel"},
                          {"lbl32", "QLabel"},
                          {"lbl33", "QLabel"},
                          {"lbl_FK", "QLabel"}});
    for (int i = 13; i <= 30; ++i) {
        const QString name = QStringLiteral("lbl%1").arg(i);
        auto* label = form.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_FALSE(label->text().isEmpty()) << name.toStdString();
    }
    for (QComboBox* combo :
         {form.cb_Device, form.cb_Sample, form.cb_Kanal, form.cb_Com, form.cb_PIN, form.cb_PIN_RX}) {
        EXPECT_EQ(combo->count(), 0) << combo->objectName().toStdString();
    }
    EXPECT_FALSE(form.cb_Device->isEditable());
    EXPECT_FALSE(form.cb_Sample->isEditable());
    EXPECT_TRUE(form.cb_Kanal->isEditable()); // it takes a device position that is not an item
    EXPECT_TRUE(form.cb_Com->isEditable());
    EXPECT_TRUE(form.cb_PIN->isEditable());
    EXPECT_TRUE(form.cb_PIN_RX->isEditable());
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

TEST(FormControls, InfoAndSoundFormsHaveTheirControls) {
    InfoForm info;
    EXPECT_EQ(info.objectName(), "frm_Info");
    expectControls(info, {{"lbl_info", "QLabel"}});
    EXPECT_TRUE(info.lbl_info->wordWrap());

    SoundForm sound;
    EXPECT_EQ(sound.objectName(), "frm_Oszi");
    EXPECT_EQ(sound.windowTitle(), "Soundfenster");
    expectControls(sound, {{"frx1", "kestrova::WaveformView"},
                           {"lblFile", "QLabel"},
                           {"lblFreqNorm", "kestrova::LabelButton"},
                           {"lblFreq1", "kestrova::LabelButton"},
                           {"lblFreq2", "kestrova::LabelButton"},
                           {"lblFreq3", "kestrova::LabelButton"},
                           {"slider", "QSlider"},
                           {"cmdStop", "QPushButton"},
                           {"cmd_Unterbrechen", "QPushButton"},
                           {"ed1", "QLineEdit"},
                           {"lbl_sek", "QLabel"},
                           {"lbl_TX", "kestrova::LabelButton"},
                           {"sli_Lautst", "QSlider"},
                           {"pro1", "QProgressBar"},
                           {"cmd_Os_Zurück", "QPushButton"}});
    EXPECT_EQ(sound.slider->maximum(), 1000000);
    EXPECT_EQ(sound.sli_Lautst->maximum(), 65535);
    EXPECT_TRUE(sound.sli_Lautst->invertedAppearance());
    EXPECT_EQ(sound.pro1->maximum(), 32785);
    EXPECT_EQ(sound.frx1->size(), QSize(296, 65));
}

TEST(FormInstances, TwoFormsOfOneKindAreIndependent) {
    auto a = std::make_unique<MainForm>();
    auto b = std::make_unique<MainForm>();
    a->lb_Sounds->addItem(QStringLiteral("x.wav  1.0"));
    EXPECT_EQ(b->lb_Sounds->count(), 0);
    EXPECT_NE(a->lb_Sounds_mouse, b->lb_Sounds_mouse);
    a.reset();
    // The second form keeps working after the first is gone.
    b->lb_Sounds->addItem(QStringLiteral("y.wav  2.0"));
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
