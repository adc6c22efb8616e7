// What the archive tells, shown on the forms: the list, its selection, the count,
// the info window and the deletion hold.
#include "gui/archive/ArchiveControls.h"

#include "archive/RecordingFiles.h"
#include "base/archive/Archive.h"
#include "base/recorder/Recorder.h"
#include "gui/app/Settings.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/StatusBar.h"
#include "support/ProgramFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

namespace kestrova::test {
namespace {

class ArchiveControlsTest : public ProgramFixture {
protected:
    QString recordings() const { return folder() + QStringLiteral("/W"); }
    QString recording(const QString& name) const { return recordings() + QLatin1Char('/') + name; }

    void putRecording(const QString& name, int seconds) const {
        QDir().mkpath(recordings());
        ASSERT_TRUE(writeBytes(recording(name), recordingOfSeconds(seconds)));
    }

    QStringList entries() const {
        QStringList texts;
        const RecordingListView* list = program->frm_DoKu->lb_Sounds;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->text(i);
        }
        return texts;
    }
    int currentRow() const { return program->frm_DoKu->lb_Sounds->currentRow(); }
    QString panel2() const { return program->statusBar().panel(2)->text(); }
};

TEST_F(ArchiveControlsTest, ThePassesAndTheFilingShowTheListItsLastEntryTheCountAndTheDeletions) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 30);
    putRecording(QStringLiteral("1_08-17-2012_09-00-00.wav"), 21);
    putRecording(QStringLiteral("1_08-17-2012_15-00-00.wav"), 20);
    startProgram();

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("1_08-17-2012_09-00-00.wav  210.0"),
                                      QStringLiteral("1_08-17-2012_14-30-12.wav  300.0")}));
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(program->frm_DoKu->lb_Sounds->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(panel2(), QStringLiteral("2"));
    EXPECT_EQ(program->frm_Info->lbl_info->text(),
              QDir::toNativeSeparators(recording(QStringLiteral("1_08-17-2012_15-00-00.wav"))) +
                  QStringLiteral(" wird gelöscht!"));
    EXPECT_TRUE(program->frm_Info->isHidden());
    EXPECT_FALSE(program->frm_DoKu->isHidden());

    const QString name = QStringLiteral("1_08-17-2012_14-59-00.wav");
    const QString working = program->programFolder() + QLatin1Char('/') + name;
    ASSERT_TRUE(writeBytes(working, recordingOfSeconds(25)));
    program->archive().keepRecording(working, name);
    EXPECT_EQ(entries().size(), 3);
    EXPECT_EQ(currentRow(), 2);
    EXPECT_EQ(panel2(), QStringLiteral("3"));

    for (const QString& file : QDir(recordings()).entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::remove(recording(file)));
    }
    program->archive().refreshRecordingList();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(currentRow(), -1);
}

TEST_F(ArchiveControlsTest, AMissingFolderLeavesTheMainWindowUpAndTheCountAsItWas) {
    const QString doc = folder() + QStringLiteral("/doc");
    ASSERT_TRUE(QDir().mkpath(doc));
    writeIni(defaultIni({{2, doc}, {21, QStringLiteral("7")}}));
    startProgram();

    EXPECT_EQ(panel2(), QStringLiteral("7"));
    EXPECT_TRUE(program->frm_Info->isHidden());
    EXPECT_FALSE(program->frm_DoKu->isHidden());
}

// The note stands whole above the status bar, leaves the clock its room, and goes
// once the form has been saved.
TEST_F(ArchiveControlsTest, TheDeletionHoldIsShownUntilTheFormIsSaved) {
    const QString old = QStringLiteral("1_08-10-2012_10-00-00.wav"); // age 7
    putRecording(old, 25);
    writeIni({QStringLiteral("damaged")});
    startProgram();
    EXPECT_TRUE(QFileInfo::exists(recording(old)));
    EXPECT_TRUE(program->statusBar().deletionHoldText().startsWith(
        QStringLiteral("Alte Aufnahmen werden nicht gelöscht")));
    MainForm& main = *program->frm_DoKu;
    main.show();
    QCoreApplication::processEvents();
    const QLabel* clock = program->statusBar().panel(7);
    EXPECT_EQ(main.lbl_Hinweise->text(), program->statusBar().deletionHoldText());
    EXPECT_GE(main.lbl_Hinweise->height(), main.lbl_Hinweise->heightForWidth(main.width()));
    EXPECT_LT(main.lbl_Hinweise->geometry().bottom(), main.sb->geometry().top());
    EXPECT_GE(clock->parentWidget()->width(), clock->width());

    program->settingsActions().cmd_Speichern_Click();
    EXPECT_FALSE(QFileInfo::exists(recording(old)));
    EXPECT_TRUE(program->statusBar().deletionHoldText().isEmpty());
}

// The windows complete the start at the end of every pass: the recorder on, the
// main window up with its title.
TEST_F(ArchiveControlsTest, WithAutomaticStartEveryPassCompletesTheStart) {
    startProgram();
    ASSERT_FALSE(program->recorder().isSwitchedOn());
    program->settings().store().change([](SettingsValues& values) { values.autoStart = 1; });
    program->frm_DoKu->hide();

    program->archive().refreshRecordingList();
    EXPECT_TRUE(program->recorder().isSwitchedOn());
    EXPECT_EQ(program->frm_DoKu->windowTitle(), QStringLiteral("Kestrova V:17082012b"));
    EXPECT_FALSE(program->frm_DoKu->isHidden());
    EXPECT_TRUE(program->frm_Info->isHidden());
}

} // namespace
} // namespace kestrova::test
