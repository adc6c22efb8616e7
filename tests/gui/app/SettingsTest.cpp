// Reading, applying and saving the settings file through a whole program.
#include "gui/app/Settings.h"

#include "automation/CqFixture.h"
#include "base/automation/AutoCq.h"
#include "base/common/BatchedTimer.h"
#include "base/recorder/Recorder.h"
#include "base/transmit/Transmitter.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace kestrova::test {
namespace {

class SettingsTest : public ProgramFixture {
protected:
    SettingsForm& form() { return *program->frm_Einstellungen; }
    MainForm& main() { return *program->frm_DoKu; }
    const SettingsValues& values() { return program->settings().values; }
    QString damagedMessage() const {
        return QStringLiteral("Die Datei [") + QDir::toNativeSeparators(iniPath()) +
               QStringLiteral("] ist fehlerhaft!\r\rProgramm startet in der Grundeinstellung.");
    }
};

TEST_F(SettingsTest, AMissingFileIsCreatedWithTheNewFileDefaults) {
    startProgram();
    const QStringList lines = readIni();
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines[0], QDir::toNativeSeparators(folder() + QStringLiteral("/ini/Kestrova.ini")) +
                            QStringLiteral(" erstellt 17.08.2012, 14:30:12"));
    EXPECT_EQ(lines[1], QDir::toNativeSeparators(folder()));
    EXPECT_EQ(lines[3], QStringLiteral("11025"));
    EXPECT_EQ(lines[29], QStringLiteral("6375"));
    EXPECT_EQ(form().cb_Sample->currentText(), QStringLiteral("11025"));
    EXPECT_EQ(topTwips(&form()), 6375);
    EXPECT_EQ(values().meterSampleRate, 11025);
    EXPECT_FALSE(fakes.dialogs.sawMessageContaining(QStringLiteral("fehlerhaft")));
    EXPECT_TRUE(QDir(folder() + QStringLiteral("/W")).exists());
    // Each default is taken by its control and saved back as it stood.
    program->settings().saveSettings();
    EXPECT_EQ(readIni().mid(1), lines.mid(1));
}

TEST_F(SettingsTest, AShortFileIsReportedKeptAsBackupAndReplacedByTheDamagedFileDefaults) {
    QStringList lines = defaultIni({{3, QStringLiteral("Kanal Nord")}});
    lines.removeLast();
    writeIni(lines);
    startProgram();

    ASSERT_FALSE(fakes.dialogs.messages.empty());
    EXPECT_EQ(fakes.dialogs.messages.front().text, damagedMessage());
    EXPECT_EQ(fakes.dialogs.messages.front().title, QString());
    EXPECT_EQ(form().cb_Sample->currentText(), QStringLiteral("8000"));
    EXPECT_EQ(values().meterSampleRate, 8000);
    EXPECT_EQ(topTwips(&form()), 5205);
    EXPECT_EQ(form().ed_FunkName->text(), QStringLiteral("tolvo"));
    EXPECT_EQ(readIni().size(), 30);
    EXPECT_EQ(readIni()[3], QStringLiteral("8000"));

    QFile backup(iniPath() + QStringLiteral(".bak"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_TRUE(backup.readAll().contains("Kanal Nord"));
    const QStringList defaults = readIni();
    program->settings().saveSettings();
    EXPECT_EQ(readIni().mid(1), defaults.mid(1));
}

TEST_F(SettingsTest, AValueAControlRefusesCountsAsDamage) {
    writeIni(defaultIni({{4, QStringLiteral("12000")}}));
    startProgram();
    EXPECT_EQ(fakes.dialogs.messages.front().text, damagedMessage());
    EXPECT_EQ(form().cb_Sample->currentText(), QStringLiteral("8000"));

    // Beyond the threshold slider; circuit numbers that no recording name can hold.
    for (const QString& line : {QStringLiteral("9=150"), QStringLiteral("6=-1"), QStringLiteral("6=10"),
                                QStringLiteral("6=") + QString(20, QLatin1Char('9'))}) {
        writeIni(defaultIni({{line.section(u'=', 0, 0).toInt(), line.section(u'=', 1)}}));
        fakes.dialogs.messages.clear();
        program->settings().readSettings();
        ASSERT_FALSE(fakes.dialogs.messages.empty()) << line.left(8).toStdString();
        EXPECT_EQ(fakes.dialogs.messages.front().text, damagedMessage());
        EXPECT_EQ(values().circuitNumber, 1);
    }
}

TEST_F(SettingsTest, LinesAfterTheThirtiethAreIgnoredAndTheNextSaveWritesThirty) {
    QStringList lines = defaultIni({{6, QStringLiteral("4")}});
    lines << QStringLiteral("extra") << QStringLiteral("more");
    writeIni(lines);
    startProgram();
    EXPECT_FALSE(fakes.dialogs.sawMessageContaining(QStringLiteral("fehlerhaft")));
    EXPECT_EQ(values().circuitNumber, 4);
    program->settings().saveSettings();
    EXPECT_EQ(readIni().size(), 30);
}

TEST_F(SettingsTest, LineEightPacksThePins) {
    writeIni(defaultIni({{8, QStringLiteral("71 1")}}));
    startProgram();
    EXPECT_EQ(form().cb_PIN->currentText(), QStringLiteral("7"));
    EXPECT_EQ(values().pttPin, 7);
    EXPECT_EQ(form().cb_PIN_RX->currentText(), QStringLiteral("1 "));
    EXPECT_EQ(values().squelchPin, 1);
    EXPECT_EQ(values().squelchActiveChar, QStringLiteral("1"));

    form().cb_PIN->setEditText(QStringLiteral("4"));
    form().cb_PIN_RX->setCurrentIndex(form().cb_PIN_RX->findText(QStringLiteral("8")));
    program->settings().saveSettings();
    EXPECT_EQ(readIni()[7], QStringLiteral("48 1"));
    EXPECT_EQ(form().cb_PIN_RX->currentText(), QStringLiteral("8 "));

    form().cb_PIN_RX->setCurrentIndex(form().cb_PIN_RX->findText(QStringLiteral("9-")));
    program->settings().saveSettings();
    EXPECT_EQ(readIni()[7], QStringLiteral("49-0"));
    EXPECT_EQ(values().squelchActiveChar, QStringLiteral("0"));
}

TEST_F(SettingsTest, LineTwentyFiveSwitchesTheParrotControls) {
    writeIni(defaultIni({{24, QStringLiteral("1")}, {25, QStringLiteral("1")}}));
    startProgram();
    EXPECT_TRUE(form().chkPapagei->isChecked());
    EXPECT_FALSE(form().chkFortlaufend->isChecked()); // parrot mode wins over continuous play
    EXPECT_FALSE(main().lblCQ->isHidden());
    EXPECT_FALSE(main().cmd_PAPA->isHidden());
    EXPECT_EQ(main().lblCQ->border(), LabelBorder::Raised);

    writeIni(defaultIni({{24, QStringLiteral("1")}, {25, QStringLiteral("0")}}));
    program->settings().readSettings();
    EXPECT_FALSE(form().chkPapagei->isChecked());
    EXPECT_TRUE(form().chkFortlaufend->isChecked());
    EXPECT_TRUE(main().lblCQ->isHidden());
    EXPECT_TRUE(main().cmd_PAPA->isHidden());
    EXPECT_FALSE(form().chkPapagei->isHidden());

    writeIni(defaultIni({{25, QStringLiteral("2")}}));
    program->settings().readSettings();
    EXPECT_TRUE(form().ed_CQ->isHidden());
    EXPECT_TRUE(form().chkPapagei->isHidden());
    EXPECT_TRUE(form().lbl2->isHidden());
    EXPECT_FALSE(main().lblCQ->isEnabled());
    EXPECT_FALSE(main().cmd_PAPA->isEnabled());
    EXPECT_FALSE(form().chkPapagei->isChecked());
    EXPECT_TRUE(main().lblCQ->isHidden());
}

TEST_F(SettingsTest, LineFifteenSetsVolumeSliderAndOutputLevel) {
    struct Case {
        const char* percent;
        int slider;
        int level;
    };
    for (const Case& c : {Case{"100", 0, 65535}, Case{"0", 65535, 0}, Case{"50", 32768, 32767}}) {
        writeIni(defaultIni({{15, QString::fromLatin1(c.percent)}}));
        if (!program) {
            startProgram();
        } else {
            program->settings().readSettings();
        }
        EXPECT_EQ(program->frm_Oszi->sli_Lautst->value(), c.slider) << c.percent;
        EXPECT_EQ(values().outputLevel, c.level) << c.percent;
        ASSERT_FALSE(fakes.audioOutput.volumes.empty());
        const auto level = static_cast<std::uint32_t>(c.level);
        EXPECT_EQ(fakes.audioOutput.volumes.back().value, (level << 16) | level) << c.percent;
    }
}

TEST_F(SettingsTest, LinesSetCaptionsTimersBarsAndPositions) {
    writeIni(defaultIni({{2, QStringLiteral("  ") + folder() + QStringLiteral("  ")},
                         {3, QStringLiteral("Rheinfunk")},
                         {9, QStringLiteral("40")},
                         {11, QStringLiteral("60")},
                         {10, QStringLiteral("2.5")},
                         {14, QStringLiteral("7")},
                         {22, QStringLiteral("25")},
                         {26, QStringLiteral("4.5")},
                         {27, QStringLiteral("1500")},
                         {28, QStringLiteral("3000")}}));
    startProgram();
    EXPECT_EQ(form().ed_PfadDoku->text(), QStringLiteral("  ") + folder() + QStringLiteral("  "));
    EXPECT_EQ(values().docFolder, folder());
    EXPECT_EQ(main().lbl_LoadWave->text(), QStringLiteral("Rheinfunk Sounds"));
    EXPECT_EQ(main().lbl_LoadWave->width(), 16 * 7);
    EXPECT_EQ(main().lbl_Schwelle->text(), QStringLiteral("40"));
    EXPECT_EQ(main().sli_Schwelle->value(), 40);
    EXPECT_EQ(form().ed_StartPegel->text(), QStringLiteral("40")); // not rewritten by the slider
    EXPECT_EQ(values().minRecordLimit, 25);
    EXPECT_EQ(main().progressbar4->maximum(), 25);
    EXPECT_EQ(values().maxRecordLimit, 600);
    EXPECT_EQ(main().progressbar3->maximum(), 600);
    EXPECT_EQ(main().fr3->title(), QStringLiteral("Sounds der letzten 7 Tage"));
    EXPECT_EQ(program->recorder().meter().meterTimer().interval(), 25);
    EXPECT_EQ(form().ed_Interval->text(), QStringLiteral("25"));
    EXPECT_EQ(program->autoCq().cqPauseTimer().interval(), 4500);
    EXPECT_EQ(leftTwips(&main()), 1500);
    EXPECT_EQ(topTwips(&main()), 3000);
}

using SettingsDuringAutoCqTest = CqFixture;

// On the air and in the pause, with the squelch watch running beside either.
TEST_F(SettingsDuringAutoCqTest, ReadingStopsTheAutoCqTimers) {
    start();
    startCycle();
    ASSERT_TRUE(airTimer() && watchTimer());
    program->settings().readSettings();
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(watchTimer());

    cq().toggleCycle();
    playToTheEnd();
    cq().tmrCQ_Timer();
    ASSERT_TRUE(pauseTimer() && watchTimer());
    program->settings().readSettings();
    EXPECT_FALSE(pauseTimer());
    EXPECT_FALSE(watchTimer());
}

TEST_F(SettingsTest, ASaveFollowedByAReadReproducesEveryControl) {
    startProgram();
    form().ed_FunkName->setText(QStringLiteral("Großraum Süd"));
    form().cb_Sample->setCurrentIndex(form().cb_Sample->findText(QStringLiteral("22050")));
    form().ed_FK->setText(QStringLiteral("3"));
    form().cb_Com->setEditText(QStringLiteral("/dev/ttyUSB0"));
    form().ed_StartPegel->setText(QStringLiteral("55"));
    form().ed_AufnZeitMin->setText(QStringLiteral("4"));
    form().ed_AufnZeitMax->setText(QStringLiteral("90"));
    form().ed_PauseStille->setText(QStringLiteral("3"));
    form().ed_FilesLöschen->setText(QStringLiteral("10"));
    form().ed_PlayPegel->setText(QStringLiteral("80"));
    form().chk_Log_Anz->setChecked(true);
    form().chk_AufnDoku->setChecked(false);
    form().chk_Sichtbar2->setChecked(false);
    form().ed_Interval->setText(QStringLiteral("20"));
    form().ed_CQ->setText(QStringLiteral("9"));
    moveTwips(&main(), 300, 450);
    moveTwips(&form(), 600, 750);

    program->settings().saveSettings();
    const QStringList saved = readIni();
    EXPECT_TRUE(saved[0].endsWith(QStringLiteral(" erstellt 17.08.2012 - 14:30:12")));
    program->settings().readSettings();

    EXPECT_EQ(form().ed_FunkName->text(), QStringLiteral("Großraum Süd"));
    EXPECT_EQ(values().meterSampleRate, 22050);
    EXPECT_EQ(values().circuitNumber, 3);
    EXPECT_EQ(values().comPortName, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(main().sli_Schwelle->value(), 55);
    EXPECT_EQ(values().minRecordLimit, 40);
    EXPECT_EQ(values().maxRecordLimit, 900);
    EXPECT_EQ(values().silencePauseLimit, 3);
    EXPECT_EQ(values().retentionDays, 10);
    EXPECT_EQ(values().outputLevel, 52428);
    EXPECT_EQ(values().logLevelDisplay, 1);
    EXPECT_EQ(values().archiveRecordings, 0);
    EXPECT_EQ(values().showSettingsAtStart, 0);
    EXPECT_EQ(program->recorder().meter().meterTimer().interval(), 20);
    EXPECT_EQ(program->autoCq().cqPauseTimer().interval(), 9000);
    EXPECT_EQ(leftTwips(&main()), 300);
    EXPECT_EQ(topTwips(&form()), 750);
    EXPECT_EQ(readIni().mid(1), saved.mid(1));
}

TEST_F(SettingsTest, SavingAfterTheFileWasDeletedWritesNothingAndTheReadStartsAfresh) {
    startProgram();
    form().ed_FunkName->setText(QStringLiteral("verloren"));
    ASSERT_TRUE(QFile::remove(iniPath()));
    program->settings().saveSettings();
    EXPECT_FALSE(QFile::exists(iniPath()));
    program->settings().readSettings();
    EXPECT_EQ(form().ed_FunkName->text(), QStringLiteral("tolvo"));
    EXPECT_EQ(readIni()[3], QStringLiteral("11025"));
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedByName) {
    startProgram();
    ASSERT_TRUE(QFile::remove(iniPath()));
    ASSERT_TRUE(QDir().mkdir(iniPath())); // a folder in the file's place cannot be replaced
    fakes.dialogs.messages.clear();
    program->settings().readSettings();
    EXPECT_TRUE(fakes.dialogs.sawMessageContaining(QStringLiteral("] kann nicht geschrieben werden!")));
    EXPECT_TRUE(fakes.dialogs.sawMessageContaining(QDir::toNativeSeparators(iniPath())));
    EXPECT_EQ(form().cb_Sample->currentText(), QStringLiteral("8000")); // the defaults still apply
}

TEST_F(SettingsTest, AFifoInTheFilesPlaceNeitherBlocksTheStartNorCountsAsSettings) {
    for (const QString& path : {iniPath(), iniPath() + QStringLiteral(".grundeinstellung")}) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    startProgram();
    EXPECT_TRUE(fakes.dialogs.sawMessageContaining(QStringLiteral("] ist keine gewöhnliche Datei!")));
    EXPECT_EQ(form().cb_Sample->currentText(), QStringLiteral("8000")); // the defaults apply
    EXPECT_FALSE(program->settings().deletionHold().isEmpty());
    EXPECT_EQ(readIni().size(), 30); // replaced by the defaults, as a damaged file is
}

TEST_F(SettingsTest, ASaveThatFailsSaysSoAndKeepsTheEditsInTheForm) {
    startProgram();
    ASSERT_TRUE(QFile::remove(iniPath()));
    ASSERT_TRUE(QDir().mkdir(iniPath())); // cannot be replaced
    form().ed_FunkName->setText(QStringLiteral("Kanal Nord"));
    program->settingsActions().cmd_Speichern_Click();
    EXPECT_TRUE(
        fakes.dialogs.sawMessageContaining(QStringLiteral("Die bisherige Datei bleibt unverändert.")));
    int boxes = 0;
    for (const ShownMessage& message : fakes.dialogs.messages) {
        boxes += message.text.contains(QStringLiteral("kann nicht geschrieben")) ? 1 : 0;
    }
    EXPECT_EQ(boxes, 1); // one failure, one box
    EXPECT_EQ(form().ed_FunkName->text(), QStringLiteral("Kanal Nord"));

    // A press of the button saves on its release and on its click: still one box.
    fakes.dialogs.messages.clear();
    form().show();
    QCoreApplication::processEvents();
    QTest::mouseClick(form().cmd_Speichern, Qt::LeftButton);
    EXPECT_EQ(fakes.dialogs.messages.size(), 1u);
}

} // namespace
} // namespace kestrova::test
