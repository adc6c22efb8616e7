#include "base/relay/FiledRecordings.h"

#include "base/archive/DatedTree.h"
#include "support/LocalZone.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// A recording of 8-bit mono samples as the capture writes it.
void writeRecording(const QString& path, qsizetype samples) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray header("RIFF....WAVEfmt ");
    const auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    const auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    header.replace(4, 4, le32(static_cast<quint32>(36 + samples)));
    header += le32(16) + le16(1) + le16(1) + le32(11025) + le32(11025) + le16(1) + le16(8);
    header += "data" + le32(static_cast<quint32>(samples));
    file.write(header + QByteArray(samples, '\x80'));
}

// The facts name the copy the archive keeps (the dated one when archiving), as the
// page names it, and survive their way through a queue's JSON.
TEST(FiledRecordingsTest, NameTheKeptCopyAsThePageDoes) {
    const test::LocalZone berlin("Europe/Berlin");
    QTemporaryDir dir;
    const QString name = QStringLiteral("F_12-09-2026_01-02-03.wav");
    writeRecording(dir.filePath(QStringLiteral("w/") + name), 22050);

    FiledRecording facts = FiledRecordings::factsOf(dir.path(), name, false, QStringLiteral("http://h:8080"));
    EXPECT_EQ(facts.path, dir.filePath(QStringLiteral("w/") + name));
    EXPECT_EQ(facts.relativePath, QStringLiteral("W/") + name);
    // Not known: the name's reading of the local clock, with the offset it had.
    EXPECT_EQ(facts.toJson().value(QStringLiteral("start")).toString(),
              QStringLiteral("2026-12-09T01:02:03+01:00"));
    EXPECT_DOUBLE_EQ(facts.seconds, 2.0);
    EXPECT_EQ(facts.sha256.size(), 64);
    EXPECT_EQ(facts.downloadAddress,
              QStringLiteral("http://h:8080/datei?pfad=W%2F") + name + QStringLiteral("&herunterladen=1"));
    const QJsonDocument json(facts.toJson());
    EXPECT_EQ(FiledRecording::fromJson(QJsonDocument::fromJson(json.toJson()).object()), facts);
    // A queue of an earlier version holds the reading alone.
    EXPECT_EQ(
        FiledRecording::fromJson({{QStringLiteral("start"), QStringLiteral("2026-12-09T01:02:03")}}).start,
        facts.start);

    const QString dated = datedArchiveFolder(dir.path(), name) + QLatin1Char('/') + name;
    writeRecording(dated, 11025);
    facts = FiledRecordings::factsOf(dir.path(), name, true, QString());
    EXPECT_EQ(facts.path, dated);
    EXPECT_EQ(facts.relativePath, QDir(dir.path()).relativeFilePath(dated));
    EXPECT_DOUBLE_EQ(facts.seconds, 1.0);
    EXPECT_TRUE(facts.downloadAddress.isEmpty());
}

// The start is the recorder's, to the second, not the name's: in the hour Berlin's
// clock repeats, the second pass's 02:00:15 was taken, so its name moved on.
TEST(FiledRecordingsTest, TellTheStartTheRecorderKnewWithItsOffset) {
    const test::LocalZone berlin("Europe/Berlin");
    QTemporaryDir dir;
    const QString name = QStringLiteral("F_10-25-2026_02-00-16.wav");
    writeRecording(dir.filePath(QStringLiteral("w/") + name), 11025);
    const QDateTime start = QDateTime(QDate(2026, 10, 25), QTime(1, 0, 15, 400), Qt::UTC).toLocalTime();

    const FiledRecording facts = FiledRecordings::factsOf(dir.path(), name, false, QString(), start);
    EXPECT_EQ(facts.toJson().value(QStringLiteral("start")).toString(),
              QStringLiteral("2026-10-25T02:00:15+01:00"));
    EXPECT_EQ(FiledRecording::fromJson(facts.toJson()), facts);
}

} // namespace
} // namespace kestrova
