// The start-up sequence, completing the start and ending the program.
#include "base/program/CommandLine.h"
#include "base/recorder/Recorder.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QSysInfo>
#include <algorithm>
#include <vector>

namespace kestrova::test {
namespace {

class StartupTest : public ProgramFixture {};

TEST_F(StartupTest, WithoutAutomaticStartTheRecorderStaysOffAndTheCaptionIsTheDesignedOne) {
    startProgram();
    MainForm& main = *program->frm_DoKu;
    const QString designed = main.windowTitle();
    EXPECT_FALSE(main.chk_Start->isChecked());
    EXPECT_FALSE(program->recorder().isSwitchedOn());
    EXPECT_FALSE(main.isHidden());
    EXPECT_TRUE(program->frm_Einstellungen->isHidden());
    EXPECT_TRUE(program->frm_Info->isHidden());
    EXPECT_EQ(heightTwips(&main), 3975);
    EXPECT_EQ(program->frm_Info->windowTitle(),
              QStringLiteral("Kestrova.exe V:17082012b wird initialisiert, warten!"));

    program->settingsActions().cmd_SK_Click();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kestrova V:17082012b"));
    EXPECT_NE(designed, main.windowTitle());
    EXPECT_FALSE(program->frm_Einstellungen->isHidden()); // line 23 defaults to 1
}

TEST_F(StartupTest, WithAutomaticStartTheRecorderIsOnAndTheFormsAreShown) {
    writeIni(defaultIni({{16, QStringLiteral("1")}, {23, QStringLiteral("1")}}));
    startProgram();
    MainForm& main = *program->frm_DoKu;
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kestrova V:17082012b"));
    EXPECT_TRUE(main.chk_Start->isChecked());
    EXPECT_TRUE(program->recorder().isSwitchedOn());
    EXPECT_EQ(main.fr2->title(), QStringLiteral("Recorder eingeschaltet"));
    EXPECT_FALSE(program->frm_Einstellungen->isHidden());
    EXPECT_FALSE(main.isHidden());
}

TEST_F(StartupTest, AutomaticStartWithoutTheSettingsFormLeavesItHidden) {
    writeIni(defaultIni({{16, QStringLiteral("1")}, {23, QStringLiteral("0")}}));
    startProgram();
    EXPECT_TRUE(program->frm_Einstellungen->isHidden());
    EXPECT_TRUE(program->recorder().isSwitchedOn());
}

// An unattended start records while its messages wait for their OK.
TEST_F(StartupTest, WithAutomaticStartTheMessagesOfTheStartWaitForARunningRecorder) {
    fakes.serial.openable = false;
    writeIni(defaultIni(
        {{2, folder() + QStringLiteral("/fehlt")}, {16, QStringLiteral("1")}, {20, QStringLiteral("1")}}));
    std::vector<bool> recorderOn;
    fakes.dialogs.whileMessageOpen = [this, &recorderOn](const ShownMessage&) {
        recorderOn.push_back(program->recorder().isSwitchedOn());
    };
    startProgram();
    EXPECT_EQ(std::count_if(fakes.dialogs.messages.begin(), fakes.dialogs.messages.end(),
                            [](const ShownMessage& m) { return m.text == QStringLiteral("Kein Anschluß"); }),
              1);
    EXPECT_TRUE(fakes.dialogs.sawMessageContaining(QStringLiteral("ist nicht vorhanden")));
    EXPECT_EQ(recorderOn, std::vector<bool>(fakes.dialogs.messages.size(), true));
}

// The desktop ends the program while a message of the start is open, or before
// the start could see the signal: nothing is switched on afterwards.
TEST_F(StartupTest, AfterTheEndIsRequestedNothingStarts) {
    writeIni(defaultIni({{2, folder() + QStringLiteral("/fehlt")}, {16, QStringLiteral("1")}}));
    fakes.dialogs.whileMessageOpen = [this](const ShownMessage&) { program->shutDown(); };
    startProgram();
    EXPECT_TRUE(program->hasEnded());
    EXPECT_FALSE(program->recorder().isSwitchedOn());
    EXPECT_TRUE(program->frm_DoKu->isHidden());
    EXPECT_EQ(fakes.dialogs.messages.size(), 1U);

    fakes.dialogs.whileMessageOpen = nullptr;
    makeProgram();
    program->endRequested = [] { return true; };
    program->main();
    EXPECT_FALSE(program->recorder().isSwitchedOn());
    EXPECT_TRUE(fakes.dialogs.messages.size() == 1U) << "the held message is not shown any more";
}

// A second program on the same folder would take the first one's live capture
// for a crashed one and file it.
TEST_F(StartupTest, ASecondProgramOnTheSameFolderRefusesAndTouchesNothing) {
    startProgram();
    QFile live(folder() + QStringLiteral("/capture.part.wav"));
    ASSERT_TRUE(live.open(QIODevice::WriteOnly));
    live.write("RIFF");
    live.close();
    const QStringList before =
        QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    FakePlatform otherFakes;
    Program other(otherFakes.platform(), ProgramOptions{folder()});
    other.main();
    EXPECT_TRUE(other.folderInUse());
    EXPECT_TRUE(other.hasEnded());
    EXPECT_EQ(other.frm_DoKu, nullptr);
    ASSERT_EQ(otherFakes.dialogs.messages.size(), 1U);
    EXPECT_TRUE(otherFakes.dialogs.messages[0].text.startsWith(
        QStringLiteral("Kestrova läuft bereits mit diesem Programmordner.")));
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);

    // Freed when the first program goes; a lock left by a crashed program is taken over.
    program.reset();
    ASSERT_TRUE(live.remove());
    QFile stale(folder() + QStringLiteral("/Kestrova.lock"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("4194303\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    startProgram();
    EXPECT_FALSE(program->folderInUse());
    EXPECT_NE(program->frm_DoKu, nullptr);
}

TEST_F(StartupTest, TheRecordingsFolderIsCreatedInTheProgramFolder) {
    ASSERT_FALSE(QDir(folder() + QStringLiteral("/W")).exists());
    startProgram();
    EXPECT_TRUE(QDir(folder() + QStringLiteral("/W")).exists());
}

TEST_F(StartupTest, AnExistingLowerCaseRecordingsFolderIsKept) {
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("w")));
    startProgram();
    EXPECT_FALSE(QDir(folder() + QStringLiteral("/W")).exists());
    EXPECT_FALSE(fakes.dialogs.sawMessageContaining(QStringLiteral("ist nicht vorhanden")));
}

TEST_F(StartupTest, TheChoiceListsAreFilledInOrder) {
    startProgram();
    const SettingsForm& form = *program->frm_Einstellungen;
    auto items = [](const QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i) {
            list << box->itemText(i);
        }
        return list;
    };
    EXPECT_EQ(items(form.cb_Kanal), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(items(form.cb_Sample), QStringList({"8000", "11025", "22050", "44100"}));
    EXPECT_EQ(items(form.cb_Com).size(), 20);
    EXPECT_EQ(items(form.cb_Com).last(), QStringLiteral("20"));
    EXPECT_EQ(items(form.cb_PIN), QStringList({"4", "7"}));
    EXPECT_EQ(items(form.cb_PIN_RX), QStringList({"1", "1-", "6", "6-", "8", "8-", "9", "9-"}));
    EXPECT_EQ(form.cb_Kanal->currentText(), QStringLiteral("0"));
    EXPECT_EQ(program->frm_DoKu->shortHeight, 2130);
}

TEST_F(StartupTest, ClosingTheMainWindowEndsTheProgram) {
    startProgram();
    bool ended = false;
    program->onEnded = [&ended] { ended = true; };
    QCloseEvent close;
    QCoreApplication::sendEvent(program->frm_DoKu, &close);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(program->hasEnded());
    EXPECT_TRUE(program->frm_DoKu->isHidden());
}

TEST_F(StartupTest, ANoticeAboutTheProgramFolderStandsInTheStatusBarAfterTheStart) {
    const ProgramFolderChoice fellBack{dir.path(), true};
    const QString notice = programFolderNotice(fellBack);
    EXPECT_EQ(notice, QStringLiteral("Der Programmordner ist schreibgeschützt; Einstellungen und Aufnahmen "
                                     "liegen in ") +
                          QDir::toNativeSeparators(dir.path()));
    EXPECT_TRUE(programFolderNotice({dir.path(), false}).isEmpty());
    EXPECT_EQ(programFolderNotice({dir.path(), false, true}),
              QStringLiteral("Einstellungen und Aufnahmen liegen in ") +
                  QDir::toNativeSeparators(dir.path()));
    makeProgram().startNotice = notice;
    program->main();
    EXPECT_EQ(program->frm_DoKu->sb->currentMessage(), notice);
}

TEST_F(StartupTest, TwoProgramsInOneProcessAreIndependent) {
    startProgram();
    FakePlatform otherFakes;
    QTemporaryDir otherDir;
    Program other(otherFakes.platform(), ProgramOptions{otherDir.path()});
    other.main();
    EXPECT_NE(other.frm_DoKu, program->frm_DoKu);
    other.frm_Einstellungen->ed_FK->setText(QStringLiteral("7"));
    EXPECT_EQ(program->frm_Einstellungen->ed_FK->text(), QStringLiteral("1"));
}

} // namespace
} // namespace kestrova::test
