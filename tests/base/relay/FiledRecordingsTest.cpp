#include "base/relay/FiledRecordings.h"

#include "base/archive/Archive.h"
#include "base/archive/DatedTree.h"
#include "base/archive/ManifestNames.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/FileHash.h"
#include "base/integrity/ManifestLookup.h"
#include "base/integrity/ManifestWriter.h"
#include "base/settings/SettingsStore.h"
#include "support/FakePlatform.h"
#include "support/LocalZone.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// A recording of 8-bit mono samples as the capture writes it.
QByteArray recordingBytes(qsizetype samples, char sample = '\x80') {
    QByteArray header("RIFF....WAVEfmt ");
    const auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    const auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    header.replace(4, 4, le32(static_cast<quint32>(36 + samples)));
    header += le32(16) + le16(1) + le16(1) + le32(11025) + le32(11025) + le16(1) + le16(8);
    header += "data" + le32(static_cast<quint32>(samples));
    return header + QByteArray(samples, sample);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The archive, its manifests and the facts told, as both programs wire them.
class FiledRecordingsTest : public ::testing::Test {
protected:
    FiledRecordingsTest() {
        settings_.change([this](SettingsValues& values) {
            values.docFolder = doc_.path();
            values.circuitNumber = 1;
            values.minRecordLimit = 5;
        });
        archive_.createTables();
        enterArchiveInManifests(archive_, manifests_, values(), fakes_.clock);
        filed_.follow(archive_);
        QObject::connect(&filed_, &FiledRecordings::recordingFiled,
                         [this](const FiledRecording& facts) { told_ << facts; });
    }

    const SettingsValues& values() { return settings_.values; }
    void archiveByDays() {
        settings_.change([](SettingsValues& values) { values.archiveRecordings = 1; });
    }
    QString recordings(const QString& name) const { return doc_.filePath(QStringLiteral("W/") + name); }
    static QString dated(const QString& docFolder, const QString& name) {
        return datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name;
    }
    // Saved by the capture and kept by the archive, as the recorder does.
    void keep(const QString& name, qsizetype samples, const QDateTime& start = {}) {
        const QString working = work_.filePath(name);
        writeFile(working, recordingBytes(samples));
        archive_.keepRecording(working, name, RecordingPiece::Beginning, start);
    }
    // The entries are written and their reports taken on this thread.
    void settle() {
        ASSERT_TRUE(manifests_.waitForPending(5000));
        QCoreApplication::processEvents();
    }

    test::FakePlatform fakes_;
    const Platform platform_ = fakes_.platform();
    QTemporaryDir doc_;
    QTemporaryDir work_;
    SettingsStore settings_{platform_, doc_.path()};
    Archive archive_{platform_, settings_};
    ManifestWriter manifests_;
    FiledRecordings filed_{settings_.values, manifests_};
    QList<FiledRecording> told_;
};

// The facts name the copy the archive keeps (the dated one when archiving), as the
// page names it, with the hash its manifest holds, and survive their way through a
// queue's JSON.
TEST_F(FiledRecordingsTest, NameTheKeptCopyAsThePageDoes) {
    const test::LocalZone berlin("Europe/Berlin");
    filed_.setPageBase(QStringLiteral("http://h:8080"));
    const QString name = QStringLiteral("1_12-09-2026_01-02-03.wav");
    keep(name, 22050);
    settle();
    ASSERT_EQ(told_.size(), 1);
    const FiledRecording facts = told_.takeFirst();
    EXPECT_EQ(facts.path, recordings(name));
    EXPECT_EQ(facts.relativePath, QStringLiteral("W/") + name);
    // Not known: the name's reading of the local clock, with the offset it had.
    EXPECT_EQ(facts.toJson().value(QStringLiteral("start")).toString(),
              QStringLiteral("2026-12-09T01:02:03+01:00"));
    EXPECT_DOUBLE_EQ(facts.seconds, 2.0);
    EXPECT_EQ(facts.sha256, ManifestLookup().hashOf(facts.path));
    EXPECT_EQ(facts.sha256.size(), 64);
    EXPECT_EQ(facts.downloadAddress,
              QStringLiteral("http://h:8080/datei?pfad=W%2F") + name + QStringLiteral("&herunterladen=1"));
    const QJsonDocument json(facts.toJson());
    EXPECT_EQ(FiledRecording::fromJson(QJsonDocument::fromJson(json.toJson()).object()), facts);
    // A queue of an earlier version holds the reading alone.
    EXPECT_EQ(
        FiledRecording::fromJson({{QStringLiteral("start"), QStringLiteral("2026-12-09T01:02:03")}}).start,
        facts.start);

    archiveByDays();
    filed_.setPageBase(QString());
    const QString second = QStringLiteral("1_12-09-2026_01-05-00.wav");
    keep(second, 11025);
    settle();
    ASSERT_EQ(told_.size(), 1);
    EXPECT_EQ(told_[0].path, dated(doc_.path(), second));
    EXPECT_EQ(told_[0].relativePath, QDir(doc_.path()).relativeFilePath(dated(doc_.path(), second)));
    EXPECT_DOUBLE_EQ(told_[0].seconds, 1.0);
    EXPECT_EQ(told_[0].sha256, ManifestLookup().hashOf(told_[0].path));
    EXPECT_TRUE(told_[0].downloadAddress.isEmpty());
}

// The start is the recorder's, to the second, not the name's: in the hour Berlin's
// clock repeats, the second pass's 02:00:15 was taken, so its name moved on.
TEST_F(FiledRecordingsTest, TellTheStartTheRecorderKnewWithItsOffset) {
    const test::LocalZone berlin("Europe/Berlin");
    const QDateTime start = QDateTime(QDate(2026, 10, 25), QTime(1, 0, 15, 400), Qt::UTC).toLocalTime();
    keep(QStringLiteral("1_10-25-2026_02-00-16.wav"), 11025, start);
    settle();
    ASSERT_EQ(told_.size(), 1);
    EXPECT_EQ(told_[0].startText(), QStringLiteral("2026-10-25T02:00:15+01:00"));
    EXPECT_EQ(FiledRecording::fromJson(told_[0].toJson()), told_[0]);
}

// The copy is read once, by the manifests' writer: the facts are what it read, and
// those filed before the program's end are told at the end, in filing order.
TEST_F(FiledRecordingsTest, TellWhatTheEntryReadInFilingOrderUpToTheEnd) {
    const QString first = QStringLiteral("1_08-17-2012_14-30-12.wav");
    const QString second = QStringLiteral("1_08-17-2012_14-30-20.wav");
    keep(first, 11025);
    keep(second, 22050);
    EXPECT_TRUE(told_.isEmpty());
    filed_.finish();
    ASSERT_EQ(told_.size(), 2);
    EXPECT_EQ(told_[0].name, first);
    EXPECT_EQ(told_[1].name, second);
    EXPECT_EQ(told_[1].sha256, QString::fromLatin1(hashFile(recordings(second))->hash));

    // Not read here again: what the entry says is what is told.
    ManifestWriter reading;
    FiledRecordings alone(values(), reading);
    alone.follow(archive_);
    QList<FiledRecording> aloneTold;
    QObject::connect(&alone, &FiledRecordings::recordingFiled,
                     [&aloneTold](const FiledRecording& facts) { aloneTold << facts; });
    const QString third = QStringLiteral("1_08-17-2012_14-31-00.wav");
    writeFile(recordings(third), recordingBytes(11025));
    emit archive_.recordingKept(third);
    emit archive_.recordingFiled(third, {});
    emit reading.recordingEntered(
        {.name = third, .path = recordings(third), .size = 7, .sha256 = QByteArray(64, 'a'), .seconds = 1.5});
    QCoreApplication::processEvents();
    ASSERT_EQ(aloneTold.size(), 1);
    EXPECT_EQ(aloneTold[0].sha256, QString(64, QLatin1Char('a')));
    EXPECT_DOUBLE_EQ(aloneTold[0].seconds, 1.5);
    settle();
}

// Every recording filed now is told once: one whose copy an earlier start entered,
// one the start's catch-up entered while its own entry was on its way (the other
// recordings the catch-up enters were told when they came), and one whose copy
// cannot be read, told without a hash.
TEST_F(FiledRecordingsTest, TellEachFilingOnceWhoeverEnteredIt) {
    archiveByDays();
    const QString enteredBefore = QStringLiteral("1_08-17-2012_14-30-12.wav");
    const QDate day = fakes_.clock.now().date();
    writeFile(dated(doc_.path(), enteredBefore), recordingBytes(11025));
    manifests_.recordKept(doc_.path(), enteredBefore, true, day);
    keep(enteredBefore, 11025);

    const QString older = QStringLiteral("1_08-17-2012_09-00-00.wav");
    const QString caughtUp = QStringLiteral("1_08-17-2012_14-40-00.wav");
    writeFile(recordings(older), recordingBytes(11025));
    writeFile(recordings(caughtUp), recordingBytes(22050));
    manifests_.enterMissing(doc_.path(), day);
    settle();
    emit archive_.recordingKept(caughtUp);
    emit archive_.recordingFiled(caughtUp, {});

    const QString unreadable = QStringLiteral("1_08-17-2012_14-50-00.wav");
    ASSERT_TRUE(QDir().mkpath(recordings(unreadable)));
    emit archive_.recordingKept(unreadable);
    emit archive_.recordingFiled(unreadable, {});
    settle();

    ASSERT_EQ(told_.size(), 3);
    EXPECT_EQ(told_[0].name, enteredBefore);
    EXPECT_EQ(told_[0].path, dated(doc_.path(), enteredBefore));
    EXPECT_EQ(told_[0].sha256, QString::fromLatin1(hashFile(told_[0].path)->hash));
    EXPECT_EQ(told_[1].name, caughtUp);
    EXPECT_EQ(told_[1].sha256, ManifestLookup().hashOf(recordings(caughtUp)));
    EXPECT_DOUBLE_EQ(told_[1].seconds, 2.0);
    EXPECT_EQ(told_[2].name, unreadable);
    EXPECT_TRUE(told_[2].sha256.isEmpty());
    // The earlier start's entry and the catch-up's are the manifest's only lines.
    QFile manifest(manifestPath(doc_.path(), older, day));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    EXPECT_EQ(manifest.readAll().count('\n'), 3);
}

} // namespace
} // namespace kestrova
