// Playing and deleting recordings from the list.
#include "gui/archive/ListInteractions.h"

#include "archive/RecordingFiles.h"
#include "base/archive/Archive.h"
#include "base/integrity/ManifestWriter.h"
#include "base/recorder/Recorder.h"
#include "gui/app/Settings.h"
#include "gui/player/Player.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/WaveformView.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace kestrova::test {
namespace {

const QString kFirst = QStringLiteral("1_08-17-2012_10-00-00.wav");
const QString kSecond = QStringLiteral("1_08-17-2012_11-00-00.wav");
const QString kThird = QStringLiteral("1_08-17-2012_12-00-00.wav");

class ListInteractionsTest : public ProgramFixture {
protected:
    QString recordings() const { return folder() + QStringLiteral("/W"); }
    QString recording(const QString& name) const { return recordings() + QLatin1Char('/') + name; }

    // The three recordings listed, the last one selected.
    ListInteractions& started() {
        QDir().mkpath(recordings());
        for (const QString& name : {kFirst, kSecond, kThird}) {
            EXPECT_TRUE(writeBytes(recording(name), recordingOfSeconds(25)));
        }
        startProgram();
        fakes.player.lengthMs = 25000;
        return program->listInteractions();
    }

    RecordingListView* list() { return program->frm_DoKu->lb_Sounds; }
    Player& player() { return program->player(); }
    const QTimer* nachStop() { return &program->player().continuousPlay().afterStopTimer(); }
    bool exists(const QString& name) const { return QFileInfo::exists(recording(name)); }
    QString pingPath() const { return QDir(folder()).filePath(QStringLiteral("ping.wav")); }

    bool played(const QString& path) const {
        return std::any_of(fakes.player.plays.begin(), fakes.player.plays.end(),
                           [&path](const FakePlaybackDevice::Play& play) { return play.path == path; });
    }

    void click(int row, int button) {
        list()->setCurrentRow(row);
        program->listInteractions().lb_Sounds_MouseDown(button, 0, 10, 10);
        program->listInteractions().lb_Sounds_MouseUp(button, 0, 10, 10);
    }
};

TEST_F(ListInteractionsTest, AClickLoadsTheEntryShowsTheWindowAtThePlaybackVolumeAndItsTickPlaysIt) {
    started();
    WaveformView* area = program->frm_Oszi->frx1;
    area->drawLine({0, 0}, {10, 10}, Qt::red);
    const int stops = fakes.sounds.stops;
    click(0, 1);
    EXPECT_TRUE(program->frm_Oszi->isVisible());
    EXPECT_NE(area->image().pixel(5, 5), QColor(Qt::red).rgb());
    // 50 % from the settings.
    EXPECT_EQ(program->frm_Oszi->sli_Lautst->value(), 32768);
    EXPECT_EQ(program->settings().values.outputLevel, 32768);
    ASSERT_FALSE(fakes.audioOutput.volumes.empty());
    EXPECT_EQ(fakes.audioOutput.volumes.back().value, (32768u << 16) | 32768u);

    EXPECT_GT(fakes.sounds.stops, stops);
    EXPECT_EQ(player().currentFile(), recording(kFirst));
    EXPECT_EQ(player().loadedFile(), recording(kFirst));
    EXPECT_EQ(player().originalFile(), recording(kFirst));
    EXPECT_TRUE(nachStop()->isActive());
    EXPECT_FALSE(played(recording(kFirst)));

    player().continuousPlay().tmr_NachStop_Timer();
    EXPECT_TRUE(played(recording(kFirst)));
    EXPECT_TRUE(player().playing());
    EXPECT_FALSE(nachStop()->isActive());

    // The volume field as typed, saved or not.
    program->frm_Einstellungen->ed_PlayPegel->clear();
    QTest::keyClicks(program->frm_Einstellungen->ed_PlayPegel, QStringLiteral("80"));
    click(1, 1);
    EXPECT_EQ(program->frm_Oszi->sli_Lautst->value(), 13107);
    EXPECT_EQ(program->settings().values.outputLevel, 52428);
}

TEST_F(ListInteractionsTest, ARightClickLoadsAndPlaysTheEntryOnlyThroughTheTick) {
    started();
    click(2, 1);
    click(1, 2);
    EXPECT_EQ(player().currentFile(), recording(kSecond));
    EXPECT_EQ(player().loadedFile(), recording(kThird));
    EXPECT_TRUE(nachStop()->isActive());
    player().continuousPlay().tmr_NachStop_Timer();
    EXPECT_EQ(player().loadedFile(), recording(kSecond));
    EXPECT_TRUE(played(recording(kSecond)));
}

TEST_F(ListInteractionsTest, AnEmptyListIgnoresClicks) {
    startProgram();
    program->listInteractions().lb_Sounds_MouseDown(1, 0, 0, 0);
    program->listInteractions().lb_Sounds_MouseUp(1, 0, 0, 0);
    EXPECT_FALSE(program->frm_Oszi->isVisible());
    EXPECT_FALSE(nachStop()->isActive());
}

TEST_F(ListInteractionsTest, TheDeleteButtonDeletesTheSelectedRecordingAndRebuildsTheList) {
    ListInteractions& interactions = started();
    list()->setCurrentRow(1);
    program->frm_DoKu->cmd_File_lö->setEnabled(false);
    interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
    EXPECT_FALSE(exists(kSecond));
    EXPECT_TRUE(exists(kFirst));
    EXPECT_TRUE(exists(kThird));
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->currentRow(), 1);
    EXPECT_EQ(fakes.clock.pauses, std::vector<int>{110});
    EXPECT_TRUE(program->frm_DoKu->cmd_File_lö->isEnabled());
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    // The manifest says the program deleted it, so a check does not take it for a lost one.
    ASSERT_TRUE(program->manifests().waitForPending(5000));
    QFile manifest(folder() + QStringLiteral("/Manifeste/1_2012-08-17.txt"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        manifest.readAll().contains(QStringLiteral("W/%1\tentfernt\tvon Hand\t").arg(kSecond).toUtf8()));
}

TEST_F(ListInteractionsTest, DeletingTheSoundWindowsRecordingEmptiesTheWindowAndAnotherKeepsIt) {
    ListInteractions& interactions = started();
    SoundForm& sound = *program->frm_Oszi;
    click(0, 1);
    const QImage drawn = sound.frx1->image();
    list()->setCurrentRow(1); // another entry: the window keeps its file
    interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
    ASSERT_FALSE(exists(kSecond));
    EXPECT_EQ(player().loadedFile(), recording(kFirst));
    EXPECT_TRUE(sound.lblFile->text().endsWith(kFirst));
    EXPECT_EQ(sound.frx1->image(), drawn);

    list()->setCurrentRow(0);
    interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
    ASSERT_FALSE(exists(kFirst));
    EXPECT_TRUE(player().loadedFile().isEmpty());
    EXPECT_TRUE(player().originalFile().isEmpty());
    EXPECT_TRUE(sound.lblFile->text().isEmpty());
    const QImage shown = sound.frx1->image();
    sound.frx1->clear();
    EXPECT_EQ(shown, sound.frx1->image());
    EXPECT_NE(shown, drawn);
    EXPECT_TRUE(sound.lblFreqNorm->isHidden());
    // Nothing is left for normal speed to open.
    const std::size_t plays = fakes.player.plays.size();
    player().speedLabels().playAtSpeed(SpeedLabels::kNormalSpeed);
    EXPECT_EQ(fakes.player.plays.size(), plays);
}

TEST_F(ListInteractionsTest, WithoutASelectionTheDeleteButtonOnlyExplains) {
    ListInteractions& interactions = started();
    list()->setCurrentRow(-1);
    interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages[0].text,
              QStringLiteral("Der Pfad [") + QDir::toNativeSeparators(recordings()) +
                  QStringLiteral("] ist nicht vorhanden, oder es liegen noch keine Aufzeichnungen vor."));
    EXPECT_EQ(fakes.dialogs.messages[0].title, QStringLiteral("Info"));
    EXPECT_EQ(QDir(recordings()).entryList(QDir::Files).size(), 3);
}

TEST_F(ListInteractionsTest, AFailedDeletionPingsAndLeavesTheList) {
    ListInteractions& interactions = started();
    list()->setCurrentRow(0);
    ASSERT_TRUE(QFile::remove(recording(kFirst)));
    interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(fakes.sounds.played, QStringList{pingPath()});
    EXPECT_EQ(list()->count(), 3);
}

// Only a file in D/w that a list entry names is ever deleted, whatever the entry's text.
TEST_F(ListInteractionsTest, NoEntryLeadsADeletionOutOfTheRecordingsFolder) {
    ListInteractions& interactions = started();
    ASSERT_TRUE(writeBytes(folder() + QStringLiteral("/victim.wav"), QByteArray("x")));
    ASSERT_TRUE(writeBytes(folder() + QStringLiteral("/W/victim.wav"), QByteArray("x")));
    const QStringList odd{QStringLiteral("../victim.wav"), folder() + QStringLiteral("/victim.wav"),
                          QStringLiteral(".."), QStringLiteral("..\\victim.wav")};
    for (const QString& text : odd) {
        program->archive().recordingList().append({text, 0});
        list()->setCurrentRow(list()->count() - 1);
        interactions.cmd_File_lö_MouseDown(1, 0, 0, 0);
        EXPECT_TRUE(QFileInfo::exists(folder() + QStringLiteral("/victim.wav"))) << text.toStdString();
    }
    EXPECT_EQ(fakes.sounds.played.size(), odd.size());
    EXPECT_TRUE(QFileInfo::exists(folder() + QStringLiteral("/W/victim.wav")));
    EXPECT_TRUE(QFileInfo::exists(recordings()));
    EXPECT_EQ(QDir(recordings()).entryList(QDir::Files).size(), 4);
}

// A name longer than a recording's must not make its entry stand for the recording.
TEST_F(ListInteractionsTest, AnEntryDeletesTheFileItWasListedFor) {
    QDir().mkpath(recordings());
    const QString copy = kFirst + QStringLiteral(".bak");
    ASSERT_TRUE(writeBytes(recording(kFirst), recordingOfSeconds(25)));
    ASSERT_TRUE(writeBytes(recording(copy), recordingOfSeconds(25)));
    startProgram();
    const int copyRow = program->archive().recordingList().rowOf(copy);
    ASSERT_EQ(list()->count(), 2);
    ASSERT_TRUE(list()->text(copyRow).startsWith(copy));
    list()->setCurrentRow(copyRow);
    program->listInteractions().cmd_File_lö_MouseDown(1, 0, 0, 0);
    EXPECT_FALSE(exists(copy));
    EXPECT_TRUE(exists(kFirst));
}

TEST_F(ListInteractionsTest, ADoubleClickAsksFirstAndDeletesOnlyOnYes) {
    ListInteractions& interactions = started();
    click(0, 1);
    interactions.lb_Sounds_DblClick();
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    const ShownMessage& question = fakes.dialogs.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("Wirklich löschen?"));
    EXPECT_EQ(question.title, recording(kFirst));
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Stop);
    EXPECT_TRUE(exists(kFirst)); // answered No

    // The tick armed by the click plays the entry while the question is open; Yes stops it.
    fakes.dialogs.messageAnswers.push_back(MessageAnswer::Yes);
    fakes.dialogs.whileMessageOpen = [this](const ShownMessage&) {
        player().continuousPlay().tmr_NachStop_Timer();
    };
    interactions.lb_Sounds_DblClick();
    EXPECT_FALSE(exists(kFirst));
    EXPECT_FALSE(player().playing());
    EXPECT_EQ(list()->count(), 2);
}

TEST_F(ListInteractionsTest, YesDeletesTheRecordingAskedAboutEvenIfAnotherWasSelectedMeanwhile) {
    ListInteractions& interactions = started();
    click(0, 1);
    fakes.dialogs.messageAnswers.push_back(MessageAnswer::Yes);
    // A recording filed while the question is open selects itself.
    fakes.dialogs.whileMessageOpen = [this](const ShownMessage&) { list()->setCurrentRow(2); };
    interactions.lb_Sounds_DblClick();
    EXPECT_FALSE(exists(kFirst));
    EXPECT_TRUE(exists(kThird));
}

TEST_F(ListInteractionsTest, SwitchingTheRecorderOffShowsTheSoundWindowAndPlaysTheSelectedEntry) {
    started();
    program->recorder().switchOff();
    EXPECT_TRUE(program->frm_Oszi->isVisible());
    EXPECT_TRUE(nachStop()->isActive());
    player().continuousPlay().tmr_NachStop_Timer();
    EXPECT_TRUE(played(recording(kThird)));
}

} // namespace
} // namespace kestrova::test
