// Manifests: what --verify finds in a documentation folder after each kind of
// damage, and the lookup of a recording's hash.
#include "base/archive/RecordingName.h"
#include "base/integrity/FileHash.h"
#include "base/integrity/ManifestFile.h"
#include "base/integrity/ManifestLine.h"
#include "base/integrity/ManifestLookup.h"
#include "base/integrity/ManifestWriter.h"
#include "base/integrity/Verification.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <optional>

namespace kestrova {
namespace {

const QDate kDay(2012, 8, 17);

class ManifestTest : public ::testing::Test {
protected:
    QString doc() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    static QString dated(const QString& name) {
        return QStringLiteral("Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/") + name;
    }
    QString manifest(const QDate& day = kDay) const {
        return manifestPath(doc(), QStringLiteral("1_x.wav"), day);
    }

    // A recording kept as the program keeps it: in the dated archive when
    // archiving, always in W, then entered.
    void keep(const QString& name, bool archiving = true, const QDate& day = kDay) {
        const QByteArray bytes = QByteArray("RIFF") + name.toLatin1() + QByteArray(4000, '\x80');
        for (const QString& relative : archiving ? QStringList{dated(name), QStringLiteral("W/") + name}
                                                 : QStringList{QStringLiteral("W/") + name}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path(relative)).path()));
            write(relative, bytes);
        }
        writer_->recordKept(doc(), name, archiving, day);
        ASSERT_TRUE(writer_->waitForPending(5000));
    }
    void removeByRetention(const QString& relative) {
        ASSERT_TRUE(QFile::remove(path(relative)));
        writer_->recordRemoved(doc(), {path(relative)}, QStringLiteral("Aufbewahrung"), kDay);
        ASSERT_TRUE(writer_->waitForPending(5000));
    }
    void write(const QString& relative, const QByteArray& bytes,
               QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(mode));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray contents(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static void writeWhole(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }

    // Runs the check a day later, when nothing counts as saved a moment ago.
    VerificationStatus verify(const QString& folder = {},
                              const QDateTime& now = QDateTime::currentDateTime().addDays(1),
                              const QByteArray& notedHash = {}) {
        report_.clear();
        QTextStream out(&report_);
        return verifyRecordings(folder.isEmpty() ? doc() : folder, out, now, notedHash);
    }
    VerificationStatus verifyAgainst(const QByteArray& notedHash) {
        return verify({}, QDateTime::currentDateTime().addDays(1), notedHash);
    }
    static QByteArray lineHash(const QByteArray& manifestText, int line) {
        return manifestText.split('\n').at(line - 1).split('\t').last();
    }
    void setModified(const QString& relative, const QDateTime& time) {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    bool reported(const QString& text) const { return report_.contains(text); }
    // A start of the program: its writer knows no chain's end yet.
    void restart() { writer_.emplace(); }

    QTemporaryDir dir_;
    std::optional<ManifestWriter> writer_{std::in_place};
    QString report_;
};

const QString kFirst = QStringLiteral("1_08-17-2012_14-00-01.wav");
const QString kSecond = QStringLiteral("1_08-17-2012_14-00-02.wav");
const QString kThird = QStringLiteral("1_08-17-2012_14-00-03.wav");
const QString kFourth = QStringLiteral("1_08-17-2012_14-00-04.wav");

TEST_F(ManifestTest, AnUntouchedFolderIsAllGoodAndEndsWithTheLastHash) {
    keep(kFirst);
    keep(kSecond);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    const QByteArray lines = contents(manifest());
    EXPECT_EQ(lines.count('\n'), 2);
    EXPECT_TRUE(lines.startsWith(dated(kFirst).toUtf8() + '\t'));
    const QByteArray lastHash = lines.split('\n').at(1).split('\t').last();
    EXPECT_TRUE(reported(QStringLiteral("1_2012-08-17.txt  ") + QString::fromLatin1(lastHash)));
    EXPECT_TRUE(reported(QStringLiteral("4 Aufnahmen geprüft")));
    // Asked from inside the documentation folder, only that part is checked.
    EXPECT_EQ(verify(path(QStringLiteral("W"))), VerificationStatus::AllGood);
    EXPECT_TRUE(reported(QStringLiteral("2 Aufnahmen geprüft")));
    EXPECT_EQ(verify(path(QStringLiteral("nowhere"))), VerificationStatus::CannotCheck);
}

TEST_F(ManifestTest, FindsChangedTruncatedDeletedUnlistedAndEditedRecordings) {
    keep(kFirst);
    keep(kSecond);
    keep(kThird);
    keep(kFourth);
    const QDate nextDay = kDay.addDays(1);
    const QString fifth = QStringLiteral("1_08-18-2012_09-00-00.wav");
    keep(fifth, false, nextDay);
    keep(QStringLiteral("1_08-18-2012_09-00-01.wav"), false, nextDay);

    QByteArray changed = contents(path(dated(kFirst)));
    changed[100] = 'x';
    writeWhole(path(dated(kFirst)), changed);
    writeWhole(path(dated(kSecond)), contents(path(dated(kSecond))).left(1000));
    ASSERT_TRUE(QFile::remove(path(dated(kThird))));
    write(QStringLiteral("W/1_08-17-2012_15-00-00.wav"), QByteArray("unlisted"));
    // The fourth line's hash field edited, and the next day's first line taken out.
    QByteArray lines = contents(manifest());
    const qsizetype fourth = lines.indexOf(dated(kFourth).toUtf8());
    lines[lines.indexOf('\t', lines.indexOf('\t', fourth) + 1) + 1] ^= 1;
    writeWhole(manifest(), lines);
    const QByteArray nextLines = contents(manifest(nextDay));
    writeWhole(manifest(nextDay), nextLines.mid(nextLines.indexOf('\n') + 1));

    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(
        reported(QStringLiteral("Verändert: ") + dated(kFirst) + QStringLiteral(" (anderer SHA-256")));
    EXPECT_TRUE(
        reported(QStringLiteral("Verändert: ") + dated(kSecond) + QStringLiteral(" (1000 Bytes statt")));
    EXPECT_TRUE(reported(QStringLiteral("Fehlt: ") + dated(kThird) +
                         QStringLiteral(" (Manifest 1_2012-08-17.txt, Zeile 3)")));
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: W/1_08-17-2012_15-00-00.wav")));
    EXPECT_TRUE(reported(QStringLiteral("Manifest 1_2012-08-17.txt, Zeile 4: beschädigt oder verändert")));
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: ") + dated(kFourth)));
    EXPECT_TRUE(reported(QStringLiteral("Manifest 1_2012-08-18.txt, Zeile 1: Kette unterbrochen")));
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: W/") + fifth));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 9 Befunde")));
}

TEST_F(ManifestTest, ALineCutOffByACrashIsReportedAndTheChainGoesOnAfterTheLastGoodLine) {
    keep(kFirst);
    keep(kSecond);
    // The second line as a crash in its write leaves it.
    const QByteArray whole = contents(manifest());
    writeWhole(manifest(), whole.left(whole.size() - 20));

    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Zeile 2: unvollständig")));
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: ") + dated(kSecond)));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 3 Befunde")));

    keep(kThird);
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Zeile 2: beschädigt oder verändert")));
    EXPECT_FALSE(reported(QStringLiteral("Kette unterbrochen")));
    EXPECT_FALSE(reported(QStringLiteral("In keinem Manifest: ") + dated(kThird)));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 3 Befunde"))); // the line, the two copies of the second
}

// A link in the manifest folder's place is not written through.
TEST_F(ManifestTest, AManifestFolderThatIsALinkGetsNothing) {
    const QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), path(QStringLiteral("Manifeste"))));
    keep(kFirst);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

TEST_F(ManifestTest, AManifestThatIsNoPlainFileOrHasAnOverlongLineIsNotReadWhole) {
    keep(kFirst);
    // A line far longer than any entry, then the next entry after the last good line.
    write(QStringLiteral("Manifeste/1_2012-08-17.txt"), QByteArray(200'000, 'a') + '\n', QIODevice::Append);
    keep(kSecond);
    // The next day's manifest a link to an endless device: neither read nor written to.
    const QDate nextDay = kDay.addDays(1);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), manifest(nextDay)));
    const QString third = QStringLiteral("1_08-18-2012_09-00-00.wav");
    keep(third, false, nextDay);

    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Manifest 1_2012-08-17.txt, Zeile 2: länger als jeder Eintrag")));
    EXPECT_FALSE(reported(QStringLiteral("In keinem Manifest: ") + dated(kSecond)));
    EXPECT_TRUE(reported(QStringLiteral("Manifest 1_2012-08-18.txt ist keine gewöhnliche Datei")));
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: W/") + third));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 3 Befunde")));
}

// A past day's recording changed, another's archive copy deleted, and two lines
// chained onto today's manifest that vouch for both.
TEST_F(ManifestTest, ALaterManifestCannotVouchForAnEarlierDaysRecordings) {
    keep(kFirst);
    keep(kSecond);
    const QDate today = kDay.addDays(1);
    keep(QStringLiteral("1_08-18-2012_09-00-00.wav"), false, today);

    QByteArray changed = contents(path(dated(kFirst)));
    changed[100] = 'x';
    writeWhole(path(dated(kFirst)), changed);
    ASSERT_TRUE(QFile::remove(path(dated(kSecond))));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("W/") + kSecond)));
    const std::optional<FileHash> hash = hashFile(path(dated(kFirst)));
    ASSERT_TRUE(hash);
    const QByteArray lastHash = contents(manifest(today)).trimmed().split('\t').last();
    const QByteArray kept =
        manifestLineText({ManifestEntry::Kind::Kept, dated(kFirst), hash->length, hash->hash, {}}, lastHash);
    const QByteArray removed = manifestLineText(
        {ManifestEntry::Kind::Removed, dated(kSecond), 0, {}, QStringLiteral("Aufbewahrung")},
        kept.trimmed().split('\t').last());
    write(QStringLiteral("Manifeste/1_2012-08-18.txt"), kept + removed, QIODevice::Append);

    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(
        reported(QStringLiteral("Zweiter Eintrag ohne Löschung davor: ") + dated(kFirst) +
                 QStringLiteral(" (Manifest 1_2012-08-18.txt, Zeile 2), wird nicht gewertet; es gilt der "
                                "erste (Manifest 1_2012-08-17.txt, Zeile 1)")));
    EXPECT_TRUE(
        reported(QStringLiteral("Verändert: ") + dated(kFirst) + QStringLiteral(" (anderer SHA-256")));
    EXPECT_TRUE(reported(QStringLiteral("„entfernt“ für eine Archivkopie, die das Programm nie löscht: ") +
                         dated(kSecond)));
    EXPECT_TRUE(reported(QStringLiteral("Fehlt: ") + dated(kSecond)));
    EXPECT_TRUE(reported(QStringLiteral("Nicht mehr in W: ") + kSecond + QLatin1Char('\n')));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 4 Befunde")));
}

TEST_F(ManifestTest, AnUnlistedFileWaitsOnlyWhenJustSavedAfterTheLastEntryAndNeverFromTheFuture) {
    keep(kFirst);
    const QDateTime now = QDateTime::currentDateTime();
    const QString justSaved = QStringLiteral("W/") + makeRecordingName(1, now.addSecs(-5));
    const QString beforeTheEntry = QStringLiteral("W/1_08-17-2012_15-00-01.wav");
    const QString future = QStringLiteral("W/1_08-17-2012_15-00-02.wav");
    const QString futureDay = QStringLiteral("Fk_1/Ja_2012/Mo-08/Tg-18/hh-09/1_08-18-2012_09-00-00.wav");
    // Saved just now, but named for another moment: no recording being filed.
    const QString namedYesterday = QStringLiteral("W/") + makeRecordingName(1, now.addDays(-1));
    const QString namedFor2099 = QStringLiteral("W/1_01-01-2099_00-00-00.wav");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path(futureDay)).path()));
    for (const QString& relative :
         {justSaved, beforeTheEntry, future, futureDay, namedYesterday, namedFor2099}) {
        write(relative, QByteArray("planted"));
    }
    setModified(beforeTheEntry, now.addSecs(-30));
    setModified(future, now.addSecs(3600));
    setModified(futureDay, now.addSecs(3600));
    // A link where a recording belongs, pointing at a listed one.
    ASSERT_TRUE(QFile::link(path(dated(kFirst)), path(dated(kSecond))));

    // The planted day has no manifest at all, so the check cannot vouch for it.
    EXPECT_EQ(verify({}, now), VerificationStatus::CannotCheck);
    EXPECT_TRUE(reported(QStringLiteral("Eben gespeichert, noch in keinem Manifest: ") + justSaved));
    for (const QString& unlisted : {beforeTheEntry, namedYesterday, namedFor2099}) {
        EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: ") + unlisted)) << unlisted.toStdString();
    }
    const QString inTheFuture =
        QStringLiteral("In keinem Manifest, mit einer Änderungszeit in der Zukunft (") +
        QLocale::c().toString(now.addSecs(3600), QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
        QStringLiteral("): ");
    EXPECT_TRUE(reported(inTheFuture + future));
    EXPECT_TRUE(reported(inTheFuture + futureDay));
    EXPECT_TRUE(
        reported(QStringLiteral("Keine gewöhnliche Datei (Verknüpfung oder Gerät) bei den Aufnahmen: ") +
                 dated(kSecond)));
    EXPECT_TRUE(reported(QStringLiteral("Kein Manifest für den 18.08.2012")));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: nicht prüfbar, 6 Befunde"))) << report_.toStdString();
}

TEST_F(ManifestTest, CopiesDeletedByRetentionAreReportedAsSuchAndOthersAsMissing) {
    keep(kFirst);
    removeByRetention(QStringLiteral("W/") + kFirst);
    keep(kSecond, false);
    removeByRetention(QStringLiteral("W/") + kSecond);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QStringLiteral("Vom Programm aus W gelöscht (Aufbewahrung): ") + kFirst +
                         QStringLiteral("; die Archivkopie bleibt")));
    EXPECT_TRUE(reported(QStringLiteral("Vom Programm gelöscht (Aufbewahrung): W/") + kSecond));

    keep(kThird, false);
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("W/") + kThird)));
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Fehlt: W/") + kThird));

    // Deleted under a line that says so, then filed again: the new entry counts.
    writer_->recordRemoved(doc(), {path(QStringLiteral("W/") + kThird)}, QStringLiteral("von Hand"), kDay);
    keep(kThird, false);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
}

// Recordings of a version without manifests: the first start enters them, so the
// night's deletion that follows does not leave the others in no manifest.
TEST_F(ManifestTest, TheFirstStartEntersTheRecordingsOlderThanAnyManifest) {
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("W"))));
    const QStringList dayBefore{QStringLiteral("1_08-16-2012_09-00-00.wav"),
                                QStringLiteral("1_08-16-2012_10-00-00.wav")};
    for (const QString& name : dayBefore) {
        write(QStringLiteral("W/") + name, QByteArray("RIFF") + name.toLatin1());
    }
    writer_->enterMissing(doc(), kDay);
    removeByRetention(QStringLiteral("W/") + dayBefore.first());
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
}

TEST_F(ManifestTest, ANightsDeletionsAreAllEnteredInOneUnbrokenChain) {
    keep(kFirst, false);
    constexpr int kDeletions = 3000;
    QStringList night;
    for (int i = 0; i < kDeletions; ++i) {
        night.append(path(QStringLiteral("W/1_08-16-2012_%1.wav").arg(i)));
    }
    writer_->recordRemoved(doc(), night.mid(0, kDeletions / 2), QStringLiteral("Aufbewahrung"), kDay);
    writer_->recordRemoved(doc(), night.mid(kDeletions / 2), QStringLiteral("Aufbewahrung"), kDay);
    keep(kSecond, false);
    EXPECT_EQ(contents(manifest()).count('\n'), kDeletions + 2);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
}

TEST_F(ManifestTest, WithoutAManifestForTheRecordingsNothingCanBeChecked) {
    EXPECT_EQ(verify(), VerificationStatus::CannotCheck);
    EXPECT_TRUE(reported(QStringLiteral("Keine Manifeste gefunden: in ")));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: nicht prüfbar, 0 Befunde, 0 Aufnahmen geprüft.")));

    keep(kFirst);
    keep(QStringLiteral("1_08-18-2012_09-00-00.wav"), false, kDay.addDays(1));
    ASSERT_TRUE(QFile::remove(manifest(kDay.addDays(1))));
    EXPECT_EQ(verify(), VerificationStatus::CannotCheck);
    EXPECT_TRUE(reported(QStringLiteral("Kein Manifest für den 18.08.2012 (Funkkreis 1), obwohl Aufnahmen "
                                        "dieses Tages vorliegen")));

    // The only day taken away whole.
    ASSERT_TRUE(QDir(path(QStringLiteral("W"))).removeRecursively());
    ASSERT_TRUE(QDir(path(QStringLiteral("Fk_1"))).removeRecursively());
    ASSERT_TRUE(QFile::remove(manifest()));
    EXPECT_EQ(verify(), VerificationStatus::CannotCheck);
    EXPECT_TRUE(reported(QStringLiteral("Keine Manifeste gefunden")));
}

TEST_F(ManifestTest, OneChainRunsOverAllDaysSoAMissingDayIsABreak) {
    keep(kFirst);
    const QString second = QStringLiteral("1_08-18-2012_09-00-00.wav");
    const QString third = QStringLiteral("1_08-19-2012_09-00-00.wav");
    keep(second, false, kDay.addDays(1));
    keep(third, false, kDay.addDays(2));
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QStringLiteral("Die Kette über alle Tage beginnt mit Manifest 1_2012-08-17.txt.")));
    const QByteArray lastHash = contents(manifest(kDay.addDays(2))).trimmed().split('\t').last();
    EXPECT_TRUE(reported(QStringLiteral("Letzter Hash der Kette, für alle Zeilen davor: ") +
                         QString::fromLatin1(lastHash) + QStringLiteral(" (1_2012-08-19.txt)")));

    QString printed;
    QTextStream out(&printed);
    EXPECT_EQ(printLastHashes(doc(), out), VerificationStatus::AllGood);
    out.flush();
    EXPECT_EQ(printed, QString::fromLatin1(lastHash) + QStringLiteral("  1_2012-08-19.txt\n"));

    // The middle day taken away whole, manifest and recording.
    ASSERT_TRUE(QFile::remove(manifest(kDay.addDays(1))));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("W/") + second)));
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Manifest 1_2012-08-19.txt, Zeile 1: Kette unterbrochen")));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 1 Befund")));
}

// The chain shows what changed inside it, but an end cut off together with its
// recordings leaves a whole chain: only a hash noted before the cut shows it.
TEST_F(ManifestTest, AHashNotedElsewhereShowsAnEndCutOffTogetherWithItsRecordings) {
    keep(kFirst);
    keep(kSecond);
    const QString nextDay = QStringLiteral("1_08-18-2012_09-00-00.wav");
    keep(nextDay, false, kDay.addDays(1));
    const QByteArray dayOne = contents(manifest());
    const QByteArray last = lineHash(contents(manifest(kDay.addDays(1))), 1);
    const QString inTheChain = QStringLiteral(" steht in der Kette: Manifest ");

    EXPECT_EQ(verifyAgainst(last), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QString::fromLatin1(last) + inTheChain +
                         QStringLiteral("1_2012-08-18.txt (Funkkreis 1, 18.08.2012), Zeile 1. Er belegt "
                                        "diese Zeile und alle davor; es ist die letzte Zeile der Kette.")));
    EXPECT_EQ(verifyAgainst(lineHash(dayOne, 1)), VerificationStatus::AllGood);
    EXPECT_TRUE(
        reported(inTheChain + QStringLiteral("1_2012-08-17.txt (Funkkreis 1, 17.08.2012), Zeile 1. Er "
                                             "belegt diese Zeile und alle davor; für 2 Zeilen danach "
                                             "bürgt er nicht.")));
    // What the command after each recording and MQTT pass on.
    EXPECT_EQ(verifyAgainst(hashFile(path(QStringLiteral("W/") + nextDay))->hash),
              VerificationStatus::AllGood);
    EXPECT_TRUE(reported(QStringLiteral("ist der SHA-256 der Aufnahme W/") + nextDay +
                         QStringLiteral(": eingetragen in Manifest 1_2012-08-18.txt")));

    // The last day taken away whole, and then the last line with its recording.
    ASSERT_TRUE(QFile::remove(manifest(kDay.addDays(1))) &&
                QFile::remove(path(QStringLiteral("W/") + nextDay)));
    EXPECT_EQ(verify(), VerificationStatus::AllGood);
    EXPECT_EQ(verifyAgainst(last), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Der notierte Hash ") + QString::fromLatin1(last) +
                         QStringLiteral(" steht in keinem Manifest: das Ende der Kette fehlt")));
    writeWhole(manifest(), dayOne.left(dayOne.indexOf('\n') + 1));
    ASSERT_TRUE(QFile::remove(path(dated(kSecond))) && QFile::remove(path(QStringLiteral("W/") + kSecond)));
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_EQ(verifyAgainst(lineHash(dayOne, 2)), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 1 Befund")));
}

// No battery clock: a start at 2020 beside the last real day's manifest, the time
// service's step to the next day, and later a step back a day.
TEST_F(ManifestTest, AClockBehindTheNewestManifestEntersThereSoTheChainNeverGoesBackADay) {
    const QDate lastDay(2026, 12, 8);
    const QDate boot(2020, 1, 1);
    keep(QStringLiteral("1_12-08-2026_09-00-00.wav"), false, lastDay);
    restart();
    keep(QStringLiteral("1_01-01-2020_00-00-10.wav"), false, boot);
    keep(QStringLiteral("1_12-09-2026_09-00-00.wav"), false, lastDay.addDays(1));
    keep(QStringLiteral("1_12-08-2026_09-00-05.wav"), false, lastDay);

    EXPECT_FALSE(QFileInfo::exists(manifest(boot)));
    EXPECT_EQ(contents(manifest(lastDay)).count('\n'), 2);
    EXPECT_EQ(contents(manifest(lastDay.addDays(1))).count('\n'), 2);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QStringLiteral("Die Kette über alle Tage beginnt mit Manifest 1_2026-12-08.txt.")));
    // The boot's day has no manifest of its own, and needs none.
    write(QStringLiteral("W/1_01-01-2020_00-00-20.wav"), QByteArray("planted"));
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_FALSE(reported(QStringLiteral("Kein Manifest für den 01.01.2020")));
}

// A first start at the epoch; a day the clock could not give; and times of zero,
// as a clock held at the epoch leaves them, which tell nothing of when a file came.
TEST_F(ManifestTest, TheEpochsDayIsADayLikeAnyOther) {
    const QDate epoch(1970, 1, 1);
    keep(QStringLiteral("1_01-01-1970_00-00-05.wav"), false, epoch);
    keep(QStringLiteral("1_01-01-1970_00-00-06.wav"), false, QDate());
    keep(QStringLiteral("1_12-09-2026_09-00-00.wav"), false, QDate(2026, 12, 9));
    EXPECT_EQ(contents(manifest(epoch)).count('\n'), 2);
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QStringLiteral("Die Kette über alle Tage beginnt mit Manifest 1_1970-01-01.txt.")));

    const QString planted = QStringLiteral("W/1_01-01-1970_00-00-07.wav");
    write(planted, QByteArray("planted"));
    for (const QString& relative : {planted, QStringLiteral("Manifeste/1_1970-01-01.txt"),
                                    QStringLiteral("Manifeste/1_2026-12-09.txt")}) {
        setModified(relative, QDateTime::fromSecsSinceEpoch(0));
    }
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_TRUE(reported(QStringLiteral("In keinem Manifest: ") + planted)) << report_.toStdString();
}

TEST_F(ManifestTest, ManifestsOfTheOlderVersionWithAChainEachStillVerifyAndTheChainGoesOnFromThem) {
    // Two days as the older version wrote them: each day's first line names no predecessor.
    const QList<QPair<QDate, QString>> older{{kDay, kFirst},
                                             {kDay.addDays(1), QStringLiteral("1_08-18-2012_09-00-00.wav")}};
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("Manifeste"))));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("W"))));
    for (const auto& [day, name] : older) {
        write(QStringLiteral("W/") + name, QByteArray("RIFF") + name.toLatin1());
        const std::optional<FileHash> hash = hashFile(path(QStringLiteral("W/") + name));
        ASSERT_TRUE(hash);
        writeWhole(manifest(day),
                   manifestLineText(
                       {ManifestEntry::Kind::Kept, QStringLiteral("W/") + name, hash->length, hash->hash, {}},
                       chainStartHash()));
    }
    keep(QStringLiteral("1_08-19-2012_09-00-00.wav"), false, kDay.addDays(2));

    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(reported(QStringLiteral("Die Kette über alle Tage beginnt mit Manifest 1_2012-08-18.txt; "
                                        "davor 1 Manifest einer älteren Version mit eigener Kette.")));
}

TEST_F(ManifestTest, ARelativeDocumentationFolderIsTakenFromTheWorkingFolderAndPathsBelowIt) {
    struct WorkingFolder {
        const QString before = QDir::currentPath();
        ~WorkingFolder() { QDir::setCurrent(before); }
    } const restored;
    ASSERT_TRUE(QDir::setCurrent(doc()));
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("doku/W")));
    for (const QString& name : {kFirst, kSecond}) {
        write(QStringLiteral("doku/W/") + name, QByteArray("RIFF") + name.toLatin1());
        writer_->recordKept(QStringLiteral("doku"), name, false, kDay);
    }
    ASSERT_TRUE(QFile::remove(QStringLiteral("doku/W/") + kSecond));
    writer_->recordRemoved(QStringLiteral("doku"), {QStringLiteral("doku/W/") + kSecond},
                           QStringLiteral("Aufbewahrung"), kDay);
    ASSERT_TRUE(writer_->waitForPending(5000));

    EXPECT_EQ(verify(path(QStringLiteral("doku"))), VerificationStatus::AllGood) << report_.toStdString();
    EXPECT_TRUE(contents(path(QStringLiteral("doku/Manifeste/1_2012-08-17.txt")))
                    .startsWith((QStringLiteral("W/") + kFirst + QLatin1Char('\t')).toUtf8()));
}

TEST_F(ManifestTest, TheLookupGivesTheEnteredHashOfEitherCopy) {
    keep(kFirst);
    const QString hash = QString::fromLatin1(hashFile(path(dated(kFirst)))->hash);
    ManifestLookup lookup;
    EXPECT_EQ(lookup.hashOf(path(dated(kFirst))), hash);
    EXPECT_EQ(lookup.hashOf(path(QStringLiteral("W/") + kFirst)), hash);
    EXPECT_TRUE(lookup.hashOf(path(QStringLiteral("W/") + kSecond)).isEmpty());
}

TEST_F(ManifestTest, AFailedAppendIsReportedAndTheNextStartEntersWhatIsMissing) {
    QMutex mutex;
    QStringList reports;
    const auto collect = [&](EventPriority priority, const QString& line) {
        const QMutexLocker lock(&mutex);
        reports << QString::number(static_cast<int>(priority)) + QLatin1Char(' ') + line;
    };
    QObject::connect(&*writer_, &ManifestWriter::reported, collect);
    // What was read for an entry is told, whether or not the line could be written.
    QList<RecordingEntry> read;
    const auto tell = [&](const RecordingEntry& entry) {
        const QMutexLocker lock(&mutex);
        read << entry;
    };
    QObject::connect(&*writer_, &ManifestWriter::recordingEntered, tell);
    keep(kFirst);
    // A folder where the next day's manifest belongs: no append can go there.
    const QDate nextDay = kDay.addDays(1);
    const QString& second = kSecond;
    const QString& third = kThird;
    ASSERT_TRUE(QDir().mkpath(manifest(nextDay)));
    keep(second, true, nextDay);
    keep(third, false, nextDay);
    ASSERT_EQ(reports.size(), 2);
    ASSERT_EQ(read.size(), 3);
    EXPECT_EQ(read.at(1).path, path(dated(second)));
    EXPECT_EQ(read.at(1).sha256, hashFile(path(dated(second)))->hash);
    EXPECT_EQ(reports.at(0),
              QStringLiteral("0 Das Manifest ") + QDir::toNativeSeparators(manifest(nextDay)) +
                  QStringLiteral(" kann nicht geschrieben werden; Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/") + second +
                  QStringLiteral(" fehlt darin. Fehlende Aufnahmen werden beim nächsten "
                                 "Start nachgetragen."));
    EXPECT_EQ(verify(), VerificationStatus::Findings);

    // Planted where recordings lie: none of them is the program's, none is entered.
    const QString planted = QStringLiteral("1_08-17-2012_14-30-00.wav");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("W/") + third), path(QStringLiteral("W/") + planted)));
    write(QStringLiteral("W/notiz.wav"), QByteArray("planted"));
    write(dated(QStringLiteral("1_08-17-2012_11-00-00.wav")), QByteArray("in the wrong hour"));

    ASSERT_TRUE(QDir(manifest(nextDay)).removeRecursively());
    reports.clear();
    ManifestWriter restarted;
    QObject::connect(&restarted, &ManifestWriter::reported, collect);
    QObject::connect(&restarted, &ManifestWriter::recordingEntered, tell);
    read.clear();
    restarted.enterMissing(doc(), nextDay);
    restarted.recordKept(doc(), third, false, nextDay); // its own request was still on its way
    ASSERT_TRUE(restarted.waitForPending(5000));
    EXPECT_EQ(reports, QStringList{QStringLiteral("2 2 Aufnahmen ohne Eintrag ins Manifest nachgetragen.")});
    const QList<QByteArray> lines = contents(manifest(nextDay)).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith("Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/" + second.toUtf8() + '\t'));
    EXPECT_TRUE(lines.at(1).startsWith("W/" + third.toUtf8() + '\t'));
    // Entered by the catch-up, told once from its own request.
    ASSERT_EQ(read.size(), 1);
    EXPECT_TRUE(lines.at(1).contains('\t' + read.at(0).sha256 + '\t'));
    EXPECT_EQ(verify(), VerificationStatus::Findings);
    EXPECT_FALSE(reported(QStringLiteral("Kette unterbrochen")));
    EXPECT_FALSE(reported(QStringLiteral("In keinem Manifest: W/") + second));
    EXPECT_FALSE(reported(QStringLiteral("In keinem Manifest: W/") + third));
    EXPECT_TRUE(reported(QStringLiteral("Ergebnis: 3 Befunde")));

    // With the planted files gone, all is in order.
    for (const QString& relative : {QStringLiteral("W/") + planted, QStringLiteral("W/notiz.wav"),
                                    dated(QStringLiteral("1_08-17-2012_11-00-00.wav"))}) {
        ASSERT_TRUE(QFile::remove(path(relative)));
    }
    EXPECT_EQ(verify(), VerificationStatus::AllGood) << report_.toStdString();
}

} // namespace
} // namespace kestrova
