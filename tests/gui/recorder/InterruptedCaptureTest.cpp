// A capture that a crash cut short is filed at the next start.
#include "base/audio/WorkingFileCapture.h"
#include "base/integrity/ManifestWriter.h"
#include "base/wav/Wav8Header.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/StatusBar.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova::test {
namespace {

class InterruptedCaptureTest : public ProgramFixture {
protected:
    // A working file as a crash leaves it: the header still says it is empty.
    void leaveWorkingFile(double seconds, const QDateTime& modified) {
        const auto samples = static_cast<std::uint32_t>(seconds * 11025);
        auto header = wav8Header(0, 11025);
        QFile file(dir.filePath(QString::fromLatin1(WorkingFileCapture::kWorkingFileName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(header.data()), 44);
        file.write(QByteArray(static_cast<qsizetype>(samples), char(200)));
        file.flush();
        file.setFileTime(modified, QFileDevice::FileModificationTime);
    }
};

TEST_F(InterruptedCaptureTest, IsCompletedAndFiledUnderTheTimeItStarted) {
    writeIni(defaultIni({{10, QStringLiteral("2")}}));
    leaveWorkingFile(30, QDateTime(QDate(2012, 8, 17), QTime(14, 0, 30)));
    QFile other(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("keep me");
    other.close();

    startProgram();
    const QString name = QStringLiteral("1_08-17-2012_14-00-00.wav");
    QFile kept(dir.filePath(QStringLiteral("W/") + name));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << "not filed";
    const QByteArray bytes = kept.readAll();
    const auto header = wav8Header(30 * 11025, 11025);
    EXPECT_EQ(bytes.left(44), QByteArray(reinterpret_cast<const char*>(header.data()), 44));
    EXPECT_EQ(bytes.size(), 44 + 30 * 11025);
    EXPECT_FALSE(QFile::exists(dir.filePath(QString::fromLatin1(WorkingFileCapture::kWorkingFileName))));
    EXPECT_FALSE(QFile::exists(dir.filePath(name)));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("notes.txt"))));
    ASSERT_GT(program->frm_DoKu->lb_Sounds->count(), 0);
    EXPECT_TRUE(
        program->frm_DoKu->lb_Sounds->text(program->frm_DoKu->lb_Sounds->currentRow()).startsWith(name));
}

TEST_F(InterruptedCaptureTest, ATooShortOneIsNotKept) {
    leaveWorkingFile(5, QDateTime(QDate(2012, 8, 17), QTime(14, 0, 30)));
    startProgram();
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("W"))).entryList({QStringLiteral("*.wav")}).isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

TEST_F(InterruptedCaptureTest, SurvivesAnAutomaticStartThatOpensANewCapture) {
    writeIni(defaultIni({{16, QStringLiteral("1")}}));
    leaveWorkingFile(30, QDateTime(QDate(2012, 8, 17), QTime(13, 0, 30)));
    startProgram();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("W/1_08-17-2012_13-00-00.wav"))));
}

TEST_F(InterruptedCaptureTest, SavedRecordingsLeftBehindAreFiledOnceTheFolderTakesThemAgain) {
    writeIni(defaultIni({{10, QStringLiteral("2")}}));
    const QString name = QStringLiteral("1_08-16-2012_09-15-00.wav");
    QFile left(dir.filePath(name));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    const auto header = wav8Header(30 * 11025, 11025);
    left.write(reinterpret_cast<const char*>(header.data()), 44);
    left.write(QByteArray(30 * 11025, char(90)));
    left.close();
    // Where the recordings folder belongs there is a file: nothing can be filed.
    QFile blocker(dir.filePath(QStringLiteral("W")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    startProgram();
    EXPECT_TRUE(QFile::exists(dir.filePath(name)));
    EXPECT_TRUE(program->statusBar().lateFilingText().contains(QStringLiteral("nicht in W")));

    program.reset();
    // A start with room for the dated tree alone left its copy there, entered.
    const QString dated = dir.filePath(QStringLiteral("Fk_1/Ja_2012/Mo-08/Tg-16/hh-09"));
    ASSERT_TRUE(QDir().mkpath(dated));
    ASSERT_TRUE(QFile::copy(dir.filePath(name), QDir(dated).filePath(name)));
    ManifestWriter earlierStart;
    earlierStart.recordKept(dir.path(), name, true, QDate(2012, 8, 17));
    ASSERT_TRUE(earlierStart.waitForPending(5000));

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("W"))));
    startProgram();
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("W/") + name)).size(), 44 + 30 * 11025);
    EXPECT_FALSE(QFile::exists(dir.filePath(name)));
    EXPECT_TRUE(program->statusBar().lateFilingText().contains(QStringLiteral("1 liegengebliebene")));
    // The same recording under its one name in both places, entered once.
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("W"))).entryList(QDir::Files), QStringList{name});
    EXPECT_EQ(QDir(dated).entryList(QDir::Files), QStringList{name});
    ASSERT_TRUE(program->manifests().waitForPending(5000));
    QFile manifest(dir.filePath(QStringLiteral("Manifeste/1_2012-08-17.txt")));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    EXPECT_EQ(manifest.readAll().count('\n'), 1);
}

} // namespace
} // namespace kestrova::test
