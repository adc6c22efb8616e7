// The recording list pass, the deletion pass and the filing of saved recordings.
#include "base/archive/Archive.h"

#include "archive/RecordingFiles.h"
#include "base/files/FolderLock.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/ManifestFile.h"
#include "base/integrity/ManifestWriter.h"
#include "base/recorder/CaptureControl.h"
#include "base/relay/FiledRecordings.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsStore.h"
#include "base/settings/SettingsValues.h"
#include "support/FakePlatform.h"
#include "support/LocalZone.h"
#include "support/SettingsLines.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace kestrova::test {
namespace {

// The archive as both programs make it, in a program folder of its own that is also
// the documentation folder, and what it tells whoever shows it.
class ArchiveTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path(); }
    QString recordings() const { return folder() + QStringLiteral("/W"); }
    QString recording(const QString& name) const { return recordings() + QLatin1Char('/') + name; }
    bool kept(const QString& name) const { return QFileInfo::exists(recording(name)); }

    // Puts a recording into D/w before the program starts.
    void putRecording(const QString& name, int seconds) const {
        QDir().mkpath(recordings());
        ASSERT_TRUE(writeBytes(recording(name), recordingOfSeconds(seconds)));
    }
    void writeIni(const QStringList& lines) const {
        ASSERT_TRUE(writeSettingsLines(settingsFilePath(folder()), lines));
    }
    QStringList defaultIni(const QList<QPair<int, QString>>& changes = {}) const {
        return newSettingsLines(folder(), fakes.clock.now(), changes);
    }

    // The archive on the settings' store, not yet started.
    Archive& make() {
        archive.reset();
        settings = std::make_unique<SettingsStore>(platform, folder());
        archive = std::make_unique<Archive>(platform, *settings);
        follow(*archive);
        return *archive;
    }
    // The start as far as the archive goes: its tables, the settings file, the first pass.
    void passAtStart() {
        archive->createTables();
        settings->readSettings();
        archive->refreshRecordingList();
    }
    Archive& start() {
        make();
        passAtStart();
        return *archive;
    }
    const SettingsValues& values() { return settings->values; }

    // The entries as the list shows them.
    QStringList entries() const {
        const RecordingListModel& model = archive->recordingList();
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row) {
            texts << model.data(model.index(row), Qt::DisplayRole).toString();
        }
        return texts;
    }

    QTemporaryDir dir;
    FakePlatform fakes;
    Platform platform = fakes.platform();
    std::unique_ptr<ManifestWriter> manifests;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Archive> archive;
    // What the archive told since it was made.
    QList<int> rowsSelected;
    QList<long long> counts;
    QStringList infoTexts;
    QStringList holds;
    int waitsOver = 0;
    int startsDue = 0;

private:
    void follow(const Archive& source) {
        rowsSelected.clear();
        counts.clear();
        infoTexts.clear();
        holds.clear();
        waitsOver = 0;
        startsDue = 0;
        QObject::connect(&source, &Archive::rowSelected, [this](int row) { rowsSelected << row; });
        QObject::connect(&source, &Archive::fileCountChanged, [this](long long count) { counts << count; });
        QObject::connect(&source, &Archive::infoText, [this](const QString& text) { infoTexts << text; });
        QObject::connect(&source, &Archive::deletionHoldChanged,
                         [this](const QString& hold) { holds << hold; });
        QObject::connect(&source, &Archive::waitOver, [this] { ++waitsOver; });
        QObject::connect(&source, &Archive::startDue, [this] { ++startsDue; });
    }
};

TEST_F(ArchiveTest, ListsLongRecentRecordingsOfTheCircuitAndDeletesShortOnes) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    putRecording(QStringLiteral("1_08-17-2012_15-00-00.wav"), 20);
    putRecording(QStringLiteral("2_08-17-2012_15-00-00.wav"), 5);
    putRecording(QStringLiteral("2_08-01-2012_15-00-00.wav"), 25);
    // Names of six characters or fewer are never recordings.
    ASSERT_TRUE(writeBytes(recording(QStringLiteral("1_x.wv")), QByteArray()));
    start();

    EXPECT_EQ(entries(), QStringList{QStringLiteral("1_08-17-2012_14-30-12.wav  250.0")});
    EXPECT_EQ(rowsSelected, QList<int>{0});
    EXPECT_EQ(values().fileCount, 1);

    EXPECT_FALSE(kept(QStringLiteral("1_08-17-2012_15-00-00.wav")));
    EXPECT_EQ(infoTexts,
              QStringList{QDir::toNativeSeparators(recording(QStringLiteral("1_08-17-2012_15-00-00.wav"))) +
                          QStringLiteral(" wird gelöscht!")});
    EXPECT_EQ(waitsOver, 1);
    // Other circuits are neither listed nor deleted, whatever their age or length.
    EXPECT_TRUE(kept(QStringLiteral("2_08-17-2012_15-00-00.wav")));
    EXPECT_TRUE(kept(QStringLiteral("2_08-01-2012_15-00-00.wav")));
    EXPECT_TRUE(kept(QStringLiteral("1_x.wv")));
}

TEST_F(ArchiveTest, ListsInOrderOfNameAndSelectsTheLast) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 30);
    putRecording(QStringLiteral("1_08-16-2012_23-59-59.wav"), 22);
    putRecording(QStringLiteral("1_08-17-2012_09-00-00.wav"), 21);
    start();

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("1_08-16-2012_23-59-59.wav  220.0"),
                                      QStringLiteral("1_08-17-2012_09-00-00.wav  210.0"),
                                      QStringLiteral("1_08-17-2012_14-30-12.wav  300.0")}));
    EXPECT_EQ(rowsSelected, QList<int>{2});
}

TEST_F(ArchiveTest, DeletesRecordingsOfRetentionDaysAndOlderIncludingLastYear) {
    putRecording(QStringLiteral("1_08-15-2012_10-00-00.wav"), 25); // age 2
    putRecording(QStringLiteral("1_08-14-2012_10-00-00.wav"), 25); // age 3
    putRecording(QStringLiteral("1_12-30-2011_10-00-00.wav"), 25);
    putRecording(QStringLiteral("1_08-17-2011_10-00-00.wav"), 25);
    start();

    EXPECT_EQ(entries(), QStringList{QStringLiteral("1_08-15-2012_10-00-00.wav  250.0")});
    EXPECT_EQ(QDir(recordings()).entryList(QDir::Files),
              QStringList{QStringLiteral("1_08-15-2012_10-00-00.wav")});
}

// Settings that are only a guess (a garbled day count or minimum, the defaults
// after a damaged file) delete nothing until they have been saved.
TEST_F(ArchiveTest, GuessedSettingsDeleteNothingUntilSaved) {
    const QString old = QStringLiteral("1_08-10-2012_10-00-00.wav"); // age 7
    const QString hold = QStringLiteral("Alte Aufnahmen werden nicht gelöscht");
    putRecording(old, 25);
    for (const QString& days : {QStringLiteral("abc"), QString(), QString(400, QLatin1Char('9'))}) {
        writeIni(defaultIni({{14, days}}));
        start();
        EXPECT_TRUE(kept(old)) << days.left(5).toStdString();
        EXPECT_TRUE(archive->deletionHold().startsWith(hold));
        EXPECT_TRUE(holds.last().startsWith(hold));
    }
    writeIni(defaultIni({{10, QStringLiteral("x")}}));
    start();
    EXPECT_TRUE(kept(old));

    writeIni({QStringLiteral("damaged")});
    start();
    archive->refreshRecordingList(); // the file now holds the defaults
    EXPECT_TRUE(kept(old));
    EXPECT_TRUE(archive->deletionHold().startsWith(hold));
    start(); // a restart still knows the defaults are not the user's own
    EXPECT_TRUE(kept(old));
    EXPECT_TRUE(holds.last().startsWith(hold));
    // A service has no form: the log says at every start how to end the hold.
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("kestrova --einstellungen --bestaetigen")).isEmpty());

    // Saved as they stand, as "Speichern" and the command line's confirmation save them.
    ASSERT_TRUE(settings->saveLines(readSettingsLines(settings->filePath())));
    archive->refreshRecordingList();
    EXPECT_FALSE(kept(old));
    EXPECT_TRUE(archive->deletionHold().isEmpty());
    EXPECT_EQ(holds.last(), QString());
}

TEST_F(ArchiveTest, AroundNewYearTheLastDaysOfDecemberAgeAndComeFirst) {
    fakes.clock.set(QDateTime(QDate(2013, 1, 2), QTime(0, 0, 30)));
    putRecording(QStringLiteral("1_01-02-2013_00-00-10.wav"), 23);
    putRecording(QStringLiteral("1_12-31-2012_10-00-00.wav"), 25); // age 2
    putRecording(QStringLiteral("1_12-30-2012_10-00-00.wav"), 25); // age 3
    putRecording(QStringLiteral("1_01-01-2013_09-00-00.wav"), 24);
    start();

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("1_12-31-2012_10-00-00.wav  250.0"),
                                      QStringLiteral("1_01-01-2013_09-00-00.wav  240.0"),
                                      QStringLiteral("1_01-02-2013_00-00-10.wav  230.0")}));
    EXPECT_EQ(rowsSelected, QList<int>{2}); // the newest
    EXPECT_FALSE(kept(QStringLiteral("1_12-30-2012_10-00-00.wav")));
}

TEST_F(ArchiveTest, DeletesEveryDueRecordingInOnePass) {
    QDir().mkpath(recordings());
    for (int i = 0; i < 1200; ++i) {
        // Empty files have no length and are all due.
        ASSERT_TRUE(writeBytes(
            recording(QStringLiteral("1_08-17-2012_%1.wav").arg(i, 8, 10, QLatin1Char('0'))), QByteArray()));
    }
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    start();

    EXPECT_EQ(archive->deleteList.size(), 1200);
    EXPECT_EQ(QDir(recordings()).entryList(QDir::Files),
              QStringList{QStringLiteral("1_08-17-2012_14-30-12.wav")});
}

TEST_F(ArchiveTest, AHandWrittenCircuitLineListsTheRecordingsNamedByItsDigit) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    putRecording(QStringLiteral("1_08-17-2012_15-00-00.wav"), 30);
    writeIni(defaultIni({{6, QStringLiteral("01")}}));
    start();

    EXPECT_EQ(entries().size(), 2);
    EXPECT_EQ(values().fileCount, 2);
}

TEST_F(ArchiveTest, AnEmptyFolderListsAndSelectsNothing) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    start();
    ASSERT_EQ(entries().size(), 1);

    ASSERT_TRUE(QFile::remove(recording(QStringLiteral("1_08-17-2012_14-30-12.wav"))));
    rowsSelected.clear();
    archive->refreshRecordingList();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(rowsSelected.isEmpty());
    EXPECT_EQ(values().fileCount, 0);
    EXPECT_FALSE(fakes.dialogs.sawMessageContaining(QStringLiteral("ist nicht vorhanden")));
}

TEST_F(ArchiveTest, AMissingFolderIsReportedAndTheCountKept) {
    const QString doc = folder() + QStringLiteral("/doc");
    ASSERT_TRUE(QDir().mkpath(doc));
    writeIni(defaultIni({{2, doc}, {21, QStringLiteral("7")}}));
    start();

    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages[0].text,
              QStringLiteral("Der Pfad [") + QDir::toNativeSeparators(doc + QStringLiteral("/W")) +
                  QStringLiteral("] ist nicht vorhanden, oder es liegen noch keine Aufzeichnungen vor."));
    EXPECT_EQ(fakes.dialogs.messages[0].title, QStringLiteral("Info"));
    EXPECT_EQ(values().fileCount, 7);
    EXPECT_EQ(waitsOver, 1);
}

TEST_F(ArchiveTest, DeletingNeverLeavesTheRecordingsFolder) {
    putRecording(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    start();
    const QString outside = folder() + QStringLiteral("/1_outside.wav");
    const QString nested = recordings() + QStringLiteral("/1_sub/1_inner.wav");
    ASSERT_TRUE(writeBytes(outside, QByteArray("x")));
    ASSERT_TRUE(QDir().mkpath(recordings() + QStringLiteral("/1_sub")));
    ASSERT_TRUE(writeBytes(nested, QByteArray("x")));

    archive->deleteList = {recordings() + QStringLiteral("/../1_outside.wav"), nested,
                           recording(QStringLiteral("1_08-17-2012_14-30-12.wav"))};
    archive->deleteMarkedRecordings();
    EXPECT_TRUE(QFileInfo::exists(outside));
    EXPECT_TRUE(QFileInfo::exists(nested));
    EXPECT_FALSE(kept(QStringLiteral("1_08-17-2012_14-30-12.wav")));

    // A folder entry named like a recording is not a recording either.
    archive->refreshRecordingList();
    EXPECT_TRUE(QFileInfo(recordings() + QStringLiteral("/1_sub")).isDir());
}

TEST_F(ArchiveTest, WithAutomaticStartEveryPassCompletesTheStart) {
    start();
    ASSERT_EQ(startsDue, 0);
    settings->change([](SettingsValues& values) { values.autoStart = 1; });
    archive->refreshRecordingList();
    archive->refreshRecordingList();
    EXPECT_EQ(startsDue, 2);
}

// Filing a saved capture.
class FilingTest : public ArchiveTest {
protected:
    QString workingFile(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    void keep(const QString& name, int seconds) {
        ASSERT_TRUE(writeBytes(workingFile(name), recordingOfSeconds(seconds)));
        archive->keepRecording(workingFile(name), name);
    }

    QString dated(const QString& name, const QString& hour = QStringLiteral("14")) const {
        return folder() + QStringLiteral("/Fk_1/Ja_2012/Mo-08/Tg-17/hh-") + hour + QLatin1Char('/') + name;
    }

    // The recorder's capture, which files through the archive, on the program folder taken.
    CaptureControl& capture() {
        if (!capture_) {
            EXPECT_EQ(lock_.tryLock(), FolderLock::Result::Locked);
            capture_ = std::make_unique<CaptureControl>(platform, values(), folder(), *archive, lock_);
            capture_->setRateText(QString::number(values().meterSampleRate));
        }
        return *capture_;
    }

    // A capture started at the fake clock's time, saved by the device as a file of
    // the given length and filed; the name it was saved under.
    QString captureAndSave(int seconds) {
        fakes.capture.onSave = [this, seconds](const QString& name) {
            EXPECT_TRUE(writeBytes(workingFile(name), recordingOfSeconds(seconds)));
            return CaptureResult::Ok;
        };
        capture().startCapture();
        capture().saveRecording();
        fakes.capture.onSave = nullptr;
        return capture().recordingName;
    }

private:
    FolderLock lock_{folder()};
    std::unique_ptr<CaptureControl> capture_;
};

TEST_F(FilingTest, ALongerRecordingIsFiledInBothTreesListedAndCounted) {
    putRecording(QStringLiteral("1_08-17-2012_09-00-00.wav"), 25);
    start();
    ASSERT_EQ(values().fileCount, 1);
    const QString first = QStringLiteral("1_08-17-2012_14-30-12.wav");
    const QString second = QStringLiteral("1_08-17-2012_14-59-00.wav");

    keep(first, 25);
    keep(second, 21);
    EXPECT_TRUE(kept(first));
    EXPECT_TRUE(QFileInfo::exists(dated(first)));
    EXPECT_TRUE(QFileInfo::exists(dated(second))); // same hour, same folder
    EXPECT_EQ(QFile(recording(first)).size(), recordingOfSeconds(25).size());
    EXPECT_FALSE(QFileInfo::exists(workingFile(first)));
    EXPECT_FALSE(QFileInfo::exists(workingFile(second)));

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("1_08-17-2012_09-00-00.wav  250.0"),
                                      QStringLiteral("1_08-17-2012_14-30-12.wav  250.0"),
                                      QStringLiteral("1_08-17-2012_14-59-00.wav  210.0")}));
    EXPECT_EQ(rowsSelected.last(), 2);
    EXPECT_EQ(values().fileCount, 3);
    EXPECT_EQ(counts, (QList<long long>{2, 3}));
}

TEST_F(FilingTest, AKeptRecordingAndARetentionDeletionAreEnteredInTheManifest) {
    putRecording(QStringLiteral("1_08-17-2012_09-00-00.wav"), 5); // too short: deleted by the start
    manifests = std::make_unique<ManifestWriter>();
    make();
    enterArchiveInManifests(*archive, *manifests, values(), fakes.clock);
    passAtStart();
    keep(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    ASSERT_TRUE(manifests->waitForPending(5000));

    QFile manifest(folder() + QStringLiteral("/Manifeste/1_2012-08-17.txt"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = manifest.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith("W/1_08-17-2012_09-00-00.wav\tentfernt\tAufbewahrung\t"));
    const QByteArray kept = recordingOfSeconds(25);
    EXPECT_TRUE(lines.at(1).startsWith("Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/1_08-17-2012_14-30-12.wav\t" +
                                       QByteArray::number(kept.size()) + '\t' +
                                       QCryptographicHash::hash(kept, QCryptographicHash::Sha256).toHex()));
}

// A long list's pass lets the recorder's timers run; what they file meanwhile stays
// listed once, whether the pass saw it or not.
TEST_F(FilingTest, ARecordingFiledWhileALongListIsReadStaysListedOnce) {
    putRecording(QStringLiteral("1_08-17-2012_09-00-00.wav"), 25);
    start();
    for (int i = 0; i < 1001; ++i) {
        archive->recordingList().append({QStringLiteral("old"), 1});
    }
    const QString name = QStringLiteral("1_08-17-2012_14-30-12.wav");
    QTimer::singleShot(0, [this, &name] { keep(name, 25); });
    archive->refreshRecordingList();
    QCoreApplication::processEvents();

    EXPECT_EQ(entries(), (QStringList{QStringLiteral("1_08-17-2012_09-00-00.wav  250.0"),
                                      QStringLiteral("1_08-17-2012_14-30-12.wav  250.0")}));
    EXPECT_EQ(values().fileCount, 2);
}

TEST_F(FilingTest, WithoutArchivingOnlyTheRecordingsFolderGetsACopy) {
    writeIni(defaultIni({{19, QStringLiteral("0")}}));
    start();
    keep(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    EXPECT_TRUE(kept(QStringLiteral("1_08-17-2012_14-30-12.wav")));
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/Fk_1")));
    EXPECT_FALSE(QFileInfo::exists(workingFile(QStringLiteral("1_08-17-2012_14-30-12.wav"))));
}

TEST_F(FilingTest, WithoutArchivingAMissingRecordingsFolderIsCreated) {
    const QString doc = folder() + QStringLiteral("/doc");
    writeIni(defaultIni({{2, doc}, {19, QStringLiteral("0")}}));
    start();
    keep(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25);
    EXPECT_TRUE(QFileInfo::exists(doc + QStringLiteral("/W/1_08-17-2012_14-30-12.wav")));
    EXPECT_FALSE(QFileInfo::exists(doc + QStringLiteral("/Fk_1")));
    EXPECT_FALSE(QFileInfo::exists(workingFile(QStringLiteral("1_08-17-2012_14-30-12.wav"))));
}

TEST_F(FilingTest, ARecordingOfExactlyTheMinimumIsDroppedWithItsWorkingFile) {
    start();
    keep(QStringLiteral("1_08-17-2012_14-30-12.wav"), 20);
    ASSERT_TRUE(writeBytes(workingFile(QStringLiteral("1_08-17-2012_14-31-00.wav")), QByteArray("garbage")));
    archive->keepRecording(workingFile(QStringLiteral("1_08-17-2012_14-31-00.wav")),
                           QStringLiteral("1_08-17-2012_14-31-00.wav"));

    EXPECT_FALSE(QFileInfo::exists(workingFile(QStringLiteral("1_08-17-2012_14-30-12.wav"))));
    EXPECT_FALSE(QFileInfo::exists(workingFile(QStringLiteral("1_08-17-2012_14-31-00.wav"))));
    EXPECT_TRUE(QDir(recordings()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/Fk_1")));
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(values().fileCount, 0);
}

TEST_F(FilingTest, AFailedCopyKeepsTheWorkingFileAndLaterSavesDoNotFileItAgain) {
    // A plain file where the recordings folder belongs: it cannot be found or created.
    const QString doc = folder() + QStringLiteral("/doc");
    ASSERT_TRUE(QDir().mkpath(doc));
    ASSERT_TRUE(writeBytes(doc + QStringLiteral("/W"), QByteArray("x")));
    writeIni(defaultIni({{2, doc}}));
    start();

    const QString name = captureAndSave(25);
    // Saved again as at switch-off and at the end of the program, with no new capture.
    capture().saveRecording();
    capture().saveRecording();
    EXPECT_EQ(QFile(workingFile(name)).size(), recordingOfSeconds(25).size());
    EXPECT_EQ(entries(), QStringList{name + QStringLiteral("  250.0")});
    EXPECT_EQ(values().fileCount, 1);

    // The next capture in the same second is not saved over the kept one.
    const QString next = captureAndSave(30);
    EXPECT_EQ(next, QStringLiteral("1_08-17-2012_14-30-13.wav"));
    EXPECT_EQ(QFile(workingFile(name)).size(), recordingOfSeconds(25).size());
    EXPECT_EQ(QFile(workingFile(next)).size(), recordingOfSeconds(30).size());
}

TEST_F(FilingTest, ATakenNameIsNeverReplacedButMovesToTheNextFreeSecond) {
    fakes.clock.set(QDateTime(QDate(2012, 8, 17), QTime(14, 59, 59)));
    start();
    // The dated tree keeps what the list pass has long deleted from D/w; as long as
    // the next capture, but not the same.
    const QString pruned = QStringLiteral("1_08-17-2012_15-00-00.wav");
    ASSERT_TRUE(QDir().mkpath(dated(QString(), QStringLiteral("15"))));
    QByteArray other = recordingOfSeconds(30);
    other[100] = 'x';
    ASSERT_TRUE(writeBytes(dated(pruned, QStringLiteral("15")), other));

    const QString first = captureAndSave(25);
    // The clock shows the same second again, as when it is set back: the capture
    // takes the next free name from its start, and its log line names that one.
    const QString second = captureAndSave(30);
    const QString next = QStringLiteral("1_08-17-2012_15-00-01.wav");
    ASSERT_EQ(second, next);
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Aufnahme begonnen: ")),
              (QStringList{QStringLiteral("Aufnahme begonnen: ") + first,
                           QStringLiteral("Aufnahme begonnen: ") + next}));

    EXPECT_EQ(QFile(recording(first)).size(), recordingOfSeconds(25).size());
    EXPECT_EQ(QFile(dated(first)).size(), recordingOfSeconds(25).size());
    EXPECT_EQ(QFile(dated(pruned, QStringLiteral("15"))).size(), other.size());
    EXPECT_FALSE(QFileInfo::exists(recording(pruned)));
    EXPECT_EQ(QFile(recording(next)).size(), recordingOfSeconds(30).size());
    EXPECT_EQ(QFile(dated(next, QStringLiteral("15"))).size(), recordingOfSeconds(30).size());
    EXPECT_FALSE(QFileInfo::exists(workingFile(second)));
    EXPECT_EQ(entries(), (QStringList{first + QStringLiteral("  250.0"), next + QStringLiteral("  300.0")}));
    EXPECT_EQ(counts.last(), 2);
}

// The archive on a clock that may be wrong. Nothing is deleted by a clock there is
// reason to doubt, and what this run filed ages from its filing, whatever the clock
// showed then.
class ArchiveClockTest : public ::testing::Test {
protected:
    static constexpr qint64 kDay = 24 * 3600 * 1000;

    void SetUp() override {
        settings.change([this](SettingsValues& values) {
            values.docFolder = doc.path();
            values.circuitNumber = 1;
            values.retentionDays = 7;
            values.minRecordLimit = 200;
            values.archiveRecordings = 0;
        });
        ASSERT_TRUE(QDir().mkpath(path(QString())));
    }
    QString path(const QString& name) const { return doc.path() + QStringLiteral("/W/") + name; }
    bool kept(const QString& name) const { return QFileInfo::exists(path(name)); }
    void put(const QString& name) const { ASSERT_TRUE(writeBytes(path(name), recordingOfSeconds(25))); }
    void file(const QString& name) const {
        const QString working = work.filePath(name);
        ASSERT_TRUE(writeBytes(working, recordingOfSeconds(25)));
        archive->keepRecording(working, name);
    }
    // The program starts at the clock's time now.
    Archive& start() {
        archive = std::make_unique<Archive>(platform, settings);
        archive->createTables();
        QObject::connect(archive.get(), &Archive::deletionHoldChanged,
                         [this](const QString& reason) { holdsSaid << reason; });
        return *archive;
    }
    void setClock(int year, int month, int day, int hour) {
        fakes.clock.set(QDateTime(QDate(year, month, day), QTime(hour, 0)));
    }
    qsizetype logged(const QString& part) const { return fakes.events.containing(part).size(); }

    QTemporaryDir doc;
    QTemporaryDir work;
    FakePlatform fakes;
    Platform platform = fakes.platform();
    SettingsStore settings{platform, work.path()};
    const SettingsValues& values = settings.values;
    std::unique_ptr<Archive> archive;
    QStringList holdsSaid;
};

// Booted without a battery clock, it files under 2020 until the time service steps
// the clock; the night's pass then must not take that day's recordings for old.
TEST_F(ArchiveClockTest, WhatThisRunFiledAgesFromItsFilingWhenTheClockIsStepped) {
    setClock(2020, 1, 1, 0);
    const QString before = QStringLiteral("1_11-20-2026_10-00-00.wav");
    put(before);
    start().refreshRecordingList(); // the clock stands before the newest recording
    EXPECT_TRUE(kept(before));
    const QStringList ours{QStringLiteral("1_01-01-2020_00-00-00.wav"),
                           QStringLiteral("1_01-01-2020_00-01-00.wav"),
                           QStringLiteral("1_01-01-2020_00-02-00.wav")};
    for (const QString& name : ours) {
        file(name);
        fakes.clock.advance(60'000);
    }
    fakes.clock.set(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 40)));
    fakes.clock.synchronised = true;
    fakes.clock.advance(50'000);
    archive->refreshRecordingList();
    for (const QString& name : ours) {
        EXPECT_TRUE(kept(name)) << name.toStdString();
    }
    EXPECT_FALSE(kept(before)); // the clock is right now: retention goes on
    EXPECT_TRUE(archive->deletionHold().isEmpty());

    fakes.clock.advance(7 * kDay);
    archive->refreshRecordingList();
    for (const QString& name : ours) {
        EXPECT_FALSE(kept(name)) << name.toStdString();
    }
}

// A year ahead at the start, before the time service set the clock: nothing goes,
// the hold is said once, and its end once the clock has been set.
TEST_F(ArchiveClockTest, AClockTheSystemHasNotSetYetDeletesNothingAndSaysSoOnce) {
    setClock(2027, 12, 9, 12);
    fakes.clock.synchronised = false;
    const QString today = QStringLiteral("1_12-09-2026_10-00-00.wav");
    const QString old = QStringLiteral("1_11-20-2026_10-00-00.wav");
    put(today);
    put(old);
    start().refreshRecordingList();
    archive->refreshRecordingList();
    EXPECT_TRUE(kept(today));
    EXPECT_TRUE(kept(old));
    const QString hold = QStringLiteral("Alte Aufnahmen werden nicht gelöscht: Die Systemuhr ist noch nicht "
                                        "mit einer Zeitquelle abgeglichen.");
    EXPECT_EQ(archive->deletionHold(), hold);
    EXPECT_EQ(holdsSaid.last(), hold);
    EXPECT_EQ(logged(hold), 1);

    fakes.clock.synchronised = true;
    setClock(2026, 12, 9, 12);
    archive->refreshRecordingList();
    EXPECT_TRUE(kept(today));
    EXPECT_FALSE(kept(old));
    EXPECT_EQ(holdsSaid.last(), QString());
    EXPECT_EQ(logged(QStringLiteral("Die Uhr ist wieder glaubwürdig")), 1);
}

// A step nobody confirms holds the deletions for a day on the steady clock; a clock
// behind the newest recording or manifest until it has passed them.
TEST_F(ArchiveClockTest, AStepOrAClockBehindTheArchiveHoldsTheDeletionsUntilTrusted) {
    const QString old = QStringLiteral("1_11-20-2026_10-00-00.wav");
    setClock(2026, 11, 21, 12);
    put(old);
    start().refreshRecordingList();
    setClock(2027, 11, 21, 12);
    archive->refreshRecordingList();
    EXPECT_TRUE(kept(old));
    EXPECT_TRUE(archive->deletionHold().contains(QStringLiteral("um mehr als einen Tag gesprungen")));
    fakes.clock.advance(kDay);
    archive->refreshRecordingList();
    EXPECT_FALSE(kept(old));

    const auto heldUntilTheClockPasses = [this, &old](const QString& evidence) {
        put(old);
        setClock(2026, 12, 8, 12);
        start().refreshRecordingList();
        EXPECT_TRUE(kept(old)) << evidence.toStdString();
        EXPECT_TRUE(archive->deletionHold().contains(evidence));
        fakes.clock.advance(kDay);
        archive->refreshRecordingList();
        EXPECT_FALSE(kept(old)) << evidence.toStdString();
    };
    const QString newest = QStringLiteral("1_12-09-2026_10-00-00.wav");
    put(newest);
    heldUntilTheClockPasses(newest);
    ASSERT_TRUE(QFile::remove(path(newest)));
    const QString manifest = manifestPath(doc.path(), newest, QDate(2026, 12, 9));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(manifest).path()));
    ASSERT_TRUE(writeBytes(manifest, QByteArray()));
    heldUntilTheClockPasses(QFileInfo(manifest).fileName());

    // In autumn the clock shows an hour again: no doubt.
    put(newest);
    fakes.clock.set(QDateTime(QDate(2026, 12, 9), QTime(9, 1)));
    start().refreshRecordingList();
    EXPECT_TRUE(archive->deletionHold().isEmpty());
}

// In the hour Berlin's clock shows twice (25 October 2026), the second 02:00:15
// belongs to the summer-time recording already: the winter-time one is begun,
// logged and passed on under the next second, with the moment it truly began.
TEST_F(FilingTest, InTheRepeatedHourARecordingIsToldAsFiledWithItsTrueStart) {
    const LocalZone berlin("Europe/Berlin");
    const QString summer = QStringLiteral("1_10-25-2026_02-00-15.wav");
    putRecording(summer, 25);
    fakes.clock.set(QDateTime(QDate(2026, 10, 25), QTime(1, 0, 15, 400), Qt::UTC).toLocalTime());
    manifests = std::make_unique<ManifestWriter>();
    make();
    enterArchiveInManifests(*archive, *manifests, values(), fakes.clock);
    passAtStart();
    FiledRecordings filed(values(), *manifests);
    filed.follow(*archive);
    QList<FiledRecording> told;
    QObject::connect(&filed, &FiledRecordings::recordingFiled,
                     [&told](const FiledRecording& facts) { told << facts; });

    const QString winter = captureAndSave(30);
    filed.finish();
    EXPECT_EQ(winter, QStringLiteral("1_10-25-2026_02-00-16.wav"));
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Aufnahme begonnen: ")),
              QStringList{QStringLiteral("Aufnahme begonnen: ") + winter});
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0].name, winter);
    EXPECT_EQ(told[0].startText(), QStringLiteral("2026-10-25T02:00:15+01:00"));
    EXPECT_EQ(QFile(recording(summer)).size(), recordingOfSeconds(25).size());
}

// The archive stands without a window: a pass and a filing tell whoever shows them,
// in the order the windows must follow.
TEST(ArchiveAlone, PassesAndFilesAndTellsItsFollowersWithoutAnyForm) {
    FakePlatform fakes;
    QTemporaryDir doc;
    const QString recordings = doc.path() + QStringLiteral("/W");
    ASSERT_TRUE(QDir().mkpath(recordings));
    ASSERT_TRUE(
        writeBytes(recordings + QStringLiteral("/1_08-17-2012_09-00-00.wav"), recordingOfSeconds(25)));
    ASSERT_TRUE(
        writeBytes(recordings + QStringLiteral("/1_08-01-2012_09-00-00.wav"), recordingOfSeconds(25)));
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, doc.path());
    settings.change([&doc](SettingsValues& values) {
        values.docFolder = doc.path();
        values.circuitNumber = 1;
        values.retentionDays = 3;
    });
    Archive archive(platform, settings);
    archive.createTables();
    QStringList heard;
    QObject::connect(&archive, &Archive::passStarted, [&heard] { heard << QStringLiteral("started"); });
    QObject::connect(&archive, &Archive::rowSelected,
                     [&heard](int row) { heard << QStringLiteral("row %1").arg(row); });
    QObject::connect(&archive, &Archive::infoText, [&heard](const QString& text) { heard << text; });
    QObject::connect(&archive, &Archive::waitOver, [&heard] { heard << QStringLiteral("wait over"); });
    QObject::connect(&archive, &Archive::passFinished, [&heard] { heard << QStringLiteral("finished"); });
    QObject::connect(&archive, &Archive::fileCountChanged,
                     [&heard](long long count) { heard << QStringLiteral("count %1").arg(count); });
    QString playerFile;
    QObject::connect(&archive, &Archive::playerFileChosen,
                     [&playerFile](const QString& path) { playerFile = path; });

    archive.refreshRecordingList();
    const QString old = QDir::toNativeSeparators(recordings + QStringLiteral("/1_08-01-2012_09-00-00.wav"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("started"), QStringLiteral("row 0"),
                                  old + QStringLiteral(" wird gelöscht!"), QStringLiteral("wait over"),
                                  QStringLiteral("finished")}));
    EXPECT_EQ(archive.recordingList().count(), 1);
    EXPECT_EQ(playerFile, recordings + QStringLiteral("/1_08-17-2012_09-00-00.wav"));

    heard.clear();
    QTemporaryDir work;
    const QString name = QStringLiteral("1_08-17-2012_14-30-12.wav");
    const QString workingFile = work.path() + QLatin1Char('/') + name;
    ASSERT_TRUE(writeBytes(workingFile, recordingOfSeconds(25)));
    archive.keepRecording(workingFile, name);
    EXPECT_EQ(heard, (QStringList{QStringLiteral("count 2"), QStringLiteral("row 1")}));
    EXPECT_EQ(archive.recordingList().nameAt(1), name);
    EXPECT_EQ(playerFile, workingFile);

    // The user's deletion of a listed recording, also without a form.
    const QString listed = recordings + QLatin1Char('/') + name;
    EXPECT_EQ(archive.rowOfPath(listed), 1);
    EXPECT_EQ(archive.removeListedRecording(1), listed);
    EXPECT_FALSE(QFileInfo::exists(listed));
    EXPECT_EQ(archive.removeListedRecording(1), QString());
}

} // namespace
} // namespace kestrova::test
