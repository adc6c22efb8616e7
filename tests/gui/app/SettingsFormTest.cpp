// The settings form: device list, its buttons and the status bar they rebuild.
#include "gui/ui/SettingsForm.h"

#include "archive/RecordingFiles.h"
#include "gui/app/Settings.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/StatusBar.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

namespace kestrova::test {
namespace {

class SettingsFormTest : public ProgramFixture {
protected:
    SettingsForm& form() { return *program->frm_Einstellungen; }
    QStringList deviceNames() {
        QStringList names;
        for (int i = 0; i < form().cb_Device->count(); ++i) {
            names << form().cb_Device->itemText(i);
        }
        return names;
    }
};

TEST_F(SettingsFormTest, ListsOnlyDevicesThatRecordMonoEightBitInDeviceOrder) {
    fakes.audioInput.deviceList = {{QStringLiteral("HDA Intel hw:0"), false},
                                   {QStringLiteral("  USB Audio CODEC  "), true},
                                   {QStringLiteral("default"), true}};
    startProgram();
    EXPECT_EQ(deviceNames(), QStringList({"USB Audio CODEC", "default"}));
    EXPECT_EQ(form().cb_Device->currentIndex(), 0);
    EXPECT_FALSE(fakes.dialogs.sawMessageContaining(QStringLiteral("No audio devices")));
}

TEST_F(SettingsFormTest, NoUsableDeviceIsSaidInTheListAndAMessage) {
    fakes.audioInput.deviceList = {{QStringLiteral("hw:0"), false}};
    startProgram();
    EXPECT_EQ(form().cb_Device->count(), 0);
    EXPECT_EQ(form().cb_Device->placeholderText(), QStringLiteral("No audio devices available."));
    ASSERT_FALSE(fakes.dialogs.messages.empty());
    const ShownMessage& shown = fakes.dialogs.messages.back();
    EXPECT_EQ(shown.title, QStringLiteral(" INFO"));
    EXPECT_TRUE(
        shown.text.startsWith(QStringLiteral("!No audio devices available!\r\rAm Soundkarteneingang")));
    EXPECT_TRUE(shown.text.endsWith(QStringLiteral("anders)\rquorbel")));

    program->settingsActions().cmd_SK_Click(); // leaves the confirmed device as it was
    EXPECT_EQ(form().cb_Kanal->currentText(), QStringLiteral("0"));
}

TEST_F(SettingsFormTest, TheSoundCardButtonConfirmsTheSelectedPosition) {
    fakes.audioInput.deviceList = {
        {QStringLiteral("A"), true}, {QStringLiteral("B"), true}, {QStringLiteral("C"), true}};
    startProgram();
    form().cb_Device->setCurrentIndex(1);
    QTest::mouseClick(form().cmd_SK, Qt::LeftButton);
    EXPECT_EQ(form().cb_Kanal->currentText(), QStringLiteral("1"));
    EXPECT_EQ(program->frm_DoKu->windowTitle(), QStringLiteral("Kestrova V:17082012b"));
}

TEST_F(SettingsFormTest, BackHidesTheFormAndKeepsTheEditsForTheNextSave) {
    startProgram();
    form().show();
    form().ed_FunkName->setText(QStringLiteral("Bergwacht"));
    QTest::mouseClick(form().cmd_Zurück, Qt::LeftButton);
    EXPECT_TRUE(form().isHidden());
    EXPECT_EQ(form().ed_FunkName->text(), QStringLiteral("Bergwacht"));
    EXPECT_EQ(readIni()[2], QStringLiteral("tolvo"));
    QTest::mouseClick(form().cmd_Speichern, Qt::LeftButton);
    EXPECT_EQ(readIni()[2], QStringLiteral("Bergwacht"));
}

TEST_F(SettingsFormTest, ClickingSaveSavesOnReleaseAndOnClickWithTheSameResult) {
    startProgram();
    form().show();
    form().ed_FK->setText(QStringLiteral("5"));
    form().cb_Com->setEditText(QStringLiteral("3"));
    QTest::mouseClick(form().cmd_Speichern, Qt::LeftButton);
    const QStringList saved = readIni();
    EXPECT_EQ(saved[5], QStringLiteral("5"));
    EXPECT_EQ(saved[6], QStringLiteral("3"));
    EXPECT_EQ(program->settings().values.circuitNumber, 5);
    EXPECT_EQ(program->settings().values.comPortName, QStringLiteral("/dev/ttyS2"));
}

TEST_F(SettingsFormTest, SaveRefusesANumberFieldItCannotTakeAndKeepsFileAndRecordings) {
    const QString recording = folder() + QStringLiteral("/W/1_08-17-2012_10-00-00.wav");
    QDir().mkpath(folder() + QStringLiteral("/W"));
    ASSERT_TRUE(writeBytes(recording, recordingOfSeconds(25)));
    startProgram();
    const QStringList before = readIni();
    struct Case {
        QLineEdit* field;
        const char* text;
        const char* named;
    };
    const Case cases[] = {
        {form().ed_FilesLöschen, "", "Das Feld \"Aufnahmen behalten\" ist leer."},
        {form().ed_FilesLöschen, "drei", "\"Aufnahmen behalten\" steht keine Zahl"},
        {form().ed_FilesLöschen, "3 Tage", "\"Aufnahmen behalten\" steht keine Zahl"},
        {form().ed_AufnZeitMin, "0", "\"Aufnahme mindestens\" steht 0."},
        {form().ed_AufnZeitMax, "0.0", "\"Aufnahme höchstens\" steht 0.0."},
        {form().ed_CQ, "0", "\"CQ-Pause\" steht 0."},
        {form().ed_FK, "10", "\"Funkkreis\" steht 10.\rErlaubt ist eine einzelne Ziffer von 0 bis 9."},
        {form().ed_FK, "-1", "\"Funkkreis\" steht -1."},
        {form().ed_StartPegel, "150", "\"Startpegel\" steht 150."},
        {form().ed_PfadDoku, " ", "Das Feld \"Dokumentationsordner\" ist leer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString kept = c.field->text();
        c.field->setText(QString::fromUtf8(c.text));
        fakes.dialogs.messages.clear();
        program->settingsActions().cmd_Speichern_MouseUp(); // silent: the click says why
        EXPECT_TRUE(fakes.dialogs.messages.empty());
        QTest::mouseClick(form().cmd_Speichern, Qt::LeftButton);
        ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
        EXPECT_TRUE(fakes.dialogs.messages[0].text.contains(QString::fromUtf8(c.named)))
            << fakes.dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(fakes.dialogs.messages[0].text.endsWith(
            QStringLiteral("Die Einstellungen wurden nicht gespeichert.")));
        EXPECT_EQ(readIni(), before);
        EXPECT_TRUE(QFileInfo::exists(recording));
        c.field->setText(kept);
    }
    form().ed_FilesLöschen->setText(QStringLiteral(" 7.5 "));
    QTest::mouseClick(form().cmd_Speichern, Qt::LeftButton);
    EXPECT_EQ(readIni()[13], QStringLiteral(" 7.5 "));
    EXPECT_TRUE(QFileInfo::exists(recording));
}

TEST_F(SettingsFormTest, TypedTextAndEnterLeaveTheChoiceListsAsFilled) {
    startProgram();
    for (QComboBox* combo : {form().cb_Kanal, form().cb_Com, form().cb_PIN, form().cb_PIN_RX}) {
        const int count = combo->count();
        combo->lineEdit()->setText(QStringLiteral("35"));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(combo->count(), count) << combo->objectName().toStdString();
        EXPECT_EQ(combo->currentText(), QStringLiteral("35"));
    }
}

// The form edits its controls until "Speichern", which puts them in force; two act
// at once, through the store, and are saved only with the rest: the chosen folder
// and the volume the list's next click plays at.
TEST_F(SettingsFormTest, TheFormEditsACopyUntilSavedButTheFolderAndVolumeActAtOnce) {
    startProgram();
    const SettingsValues& values = program->settings().values;
    QStringList changed;
    QObject::connect(&program->settings().store(), &SettingsStore::changed,
                     [&changed](const QString& key) { changed << key; });
    const QStringList file = readIni();
    const std::size_t volumesApplied = fakes.audioOutput.volumes.size();
    form().ed_StartPegel->setText(QStringLiteral("55"));
    form().ed_PlayPegel->clear();
    QTest::keyClicks(form().ed_PlayPegel, QStringLiteral("80"));
    fakes.dialogs.folderAnswers.push_back(QStringLiteral("/srv/funk"));
    QTest::mouseClick(form().cmdPfad, Qt::LeftButton);

    EXPECT_EQ(values.startLevel, 67);
    EXPECT_EQ(values.volumePercent, 80);
    EXPECT_EQ(values.outputLevel, 32767); // played at only from the next click on
    EXPECT_EQ(fakes.audioOutput.volumes.size(), volumesApplied);
    EXPECT_EQ(values.docFolder, QStringLiteral("/srv/funk"));
    EXPECT_EQ(changed, QStringList({"volume", "volume", "docFolder"}));
    EXPECT_EQ(readIni(), file);

    changed.clear();
    program->settingsActions().cmd_Speichern_Click();
    EXPECT_EQ(values.startLevel, 55);
    EXPECT_EQ(values.outputLevel, 52428);
    EXPECT_EQ(changed, QStringList({"startLevel", "volume"}));
    EXPECT_EQ(readIni().at(1), QStringLiteral("/srv/funk"));
}

TEST_F(SettingsFormTest, TheFolderButtonTakesTheChosenFolderAndACancelKeepsTheOld) {
    startProgram();
    fakes.dialogs.folderAnswers.push_back(QStringLiteral("/srv/funk"));
    QTest::mouseClick(form().cmdPfad, Qt::LeftButton);
    EXPECT_EQ(form().ed_PfadDoku->text(), QStringLiteral("/srv/funk"));

    QTest::mouseClick(form().cmdPfad, Qt::LeftButton); // cancelled
    EXPECT_EQ(form().ed_PfadDoku->text(), QStringLiteral("/srv/funk"));
    EXPECT_EQ(fakes.dialogs.folderRequests.back(), QStringLiteral("/srv/funk"));
}

TEST_F(SettingsFormTest, TheStatusBarKeepsSevenPanelsAcrossSaves) {
    startProgram();
    StatusBar& bar = program->statusBar();
    ASSERT_EQ(bar.panelCount(), 7);
    EXPECT_EQ(bar.panel(1)->text(), QStringLiteral("Quorbel"));
    EXPECT_EQ(bar.panel(3)->text(), QStringLiteral("Kestrova.exe"));
    EXPECT_EQ(bar.panel(4)->text(), QStringLiteral("V:17082012b"));
    EXPECT_EQ(bar.panel(5)->text(), QStringLiteral("2"));
    EXPECT_EQ(bar.panel(6)->text(), QStringLiteral("1"));
    EXPECT_EQ(bar.panel(7)->text(), QStringLiteral("17.08.2012 14:30:12"));
    EXPECT_EQ(bar.panel(2)->toolTip(), QStringLiteral("Anzahl gespeicherter Sound-Files im Ordner [W]"));
    EXPECT_EQ(bar.panel(1)->width(), 40);
    EXPECT_EQ(bar.panel(4)->width(), 70);
    EXPECT_EQ(program->frm_DoKu->sb->font().family(), QStringLiteral("ARIAL"));

    for (const char* port : {"4", "7", "11"}) {
        form().cb_Com->setEditText(QString::fromLatin1(port));
        program->settingsActions().cmd_Speichern_Click();
    }
    EXPECT_EQ(bar.panelCount(), 7);
    EXPECT_EQ(bar.panel(5)->text(), QStringLiteral("11"));

    fakes.clock.advance(61'000);
    bar.refreshClock();
    EXPECT_EQ(bar.panel(7)->text(), QStringLiteral("17.08.2012 14:31:13"));
    bar.showFileCount(42);
    EXPECT_EQ(bar.panel(2)->text(), QStringLiteral("42"));
}

// A notice stands over the panels only for its time: the one of the start, shown
// before the window, and one during which the bar is built anew.
TEST_F(SettingsFormTest, ThePanelsAreShownAgainWhenANoticeHasRunItsTime) {
    fakes.serial.openable = false;
    writeIni(defaultIni({{7, QStringLiteral("/dev/nonexistent")}, {20, QStringLiteral("1")}}));
    startProgram();
    QStatusBar* bar = program->frm_DoKu->sb;
    ASSERT_TRUE(bar->currentMessage().startsWith(QStringLiteral("Kein Anschluß an /dev/nonexistent")));
    ASSERT_EQ(program->statusBar().panelCount(), 7);
    const auto hiddenPanels = [this] {
        QList<int> hidden;
        for (int number = 1; number <= 7; ++number) {
            if (!program->statusBar().panel(number)->isVisible()) {
                hidden << number;
            }
        }
        return hidden;
    };
    program->frm_DoKu->show();
    EXPECT_EQ(hiddenPanels().size(), 7); // the notice is not covered
    bar->clearMessage();
    EXPECT_EQ(hiddenPanels(), QList<int>());

    // Saving opens the port again, and the notice of its failure stands while the bar is rebuilt.
    program->settingsActions().cmd_Speichern_Click();
    ASSERT_FALSE(bar->currentMessage().isEmpty());
    bar->clearMessage();
    EXPECT_EQ(hiddenPanels(), QList<int>());
}

TEST_F(SettingsFormTest, WithoutARecordingsFolderPanelTwoShowsTheStoredCount) {
    writeIni(defaultIni({{2, folder() + QStringLiteral("/elsewhere")}, {21, QStringLiteral("17")}}));
    startProgram();
    EXPECT_TRUE(
        fakes.dialogs.sawMessageContaining(QStringLiteral("ist nicht vorhanden, oder es liegen noch keine")));
    EXPECT_EQ(program->statusBar().panel(2)->text(), QStringLiteral("17"));
}

} // namespace
} // namespace kestrova::test
