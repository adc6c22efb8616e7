#include "base/web/ServedPaths.h"

#include "base/archive/RecordingFolders.h"
#include "base/web/CircuitsListing.h"
#include "base/web/RecordingJson.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

const QString kHour = QStringLiteral("/Ja_2012/Mo-08/Tg-17/hh-14");
const QString kName = QStringLiteral("/1_08-17-2012_14-30-12.wav");

bool makeRecording(const QString& archiveRoot) {
    QFile file(archiveRoot + kHour + kName);
    return QDir().mkpath(archiveRoot + kHour) && file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
}

TEST(ServedPathsTest, NoLinkLeadsTheServedFoldersOutOfTheDocumentationFolder) {
    QTemporaryDir folder;
    const QString doc = folder.filePath(QStringLiteral("doku"));
    const QString outside = folder.filePath(QStringLiteral("draussen"));
    ASSERT_TRUE(makeRecording(doc + QStringLiteral("/Fk_1")));
    ASSERT_TRUE(makeRecording(outside));
    ASSERT_TRUE(QFile::link(outside, doc + QStringLiteral("/Fk_9")));
    ASSERT_TRUE(QFile::link(outside + kHour, doc + QStringLiteral("/W")));
    ASSERT_TRUE(QFile::link(doc + QStringLiteral("/Fk_1"), doc + QStringLiteral("/Fk_2"))); // stays inside

    const ServedPaths served(doc);
    EXPECT_TRUE(served.recording(QStringLiteral("Fk_1") + kHour + kName));
    EXPECT_TRUE(served.recording(QStringLiteral("Fk_2") + kHour + kName));
    EXPECT_FALSE(served.recording(QStringLiteral("Fk_9") + kHour + kName));
    EXPECT_FALSE(served.archiveFolder(QStringLiteral("Fk_9/Ja_2012/Mo-08/Tg-17")));
    EXPECT_FALSE(served.recordingsFolder());
    EXPECT_FALSE(served.recording(QStringLiteral("W") + kName));
    for (const QJsonValue& day : archiveDaysJson(doc)) {
        EXPECT_FALSE(
            day.toObject().value(QStringLiteral("pfad")).toString().startsWith(QStringLiteral("Fk_9")));
    }
}

TEST(ServedPathsTest, APageOverSeveralCircuitsServesEachPathFromItsCircuitsFolder) {
    QTemporaryDir folder;
    LiveStatus status;
    for (const QString& circuit : {QStringLiteral("1"), QStringLiteral("2")}) {
        const QString doc = folder.filePath(QStringLiteral("kreis") + circuit);
        ASSERT_TRUE(makeRecording(doc + QStringLiteral("/Fk_") + circuit));
        status.circuits.push_back({QStringLiteral("Kreis ") + circuit, circuit, doc, {}, {}, {}});
    }
    const QString second = QStringLiteral("Fk_2") + kHour + kName;
    EXPECT_EQ(servedRecording(status, QStringLiteral("2/") + second),
              QFileInfo(folder.filePath(QStringLiteral("kreis2/") + second)).canonicalFilePath());
    for (const QString& wrong :
         {QStringLiteral("1/") + second, QStringLiteral("3/") + second, QStringLiteral("0/") + second,
          QStringLiteral("1/../kreis2/") + second, second}) {
        EXPECT_FALSE(servedRecording(status, wrong)) << wrong.toStdString();
    }
    const QJsonArray days =
        QJsonDocument::fromJson(circuitsListing(status, QStringLiteral("/api/archiv"), {}, {}).body).array();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[1].toObject().value(QStringLiteral("pfad")).toString(),
              QStringLiteral("2/Fk_2/Ja_2012/Mo-08/Tg-17"));
    EXPECT_EQ(days[1].toObject().value(QStringLiteral("kreisname")).toString(), QStringLiteral("Kreis 2"));
    const QJsonArray day =
        QJsonDocument::fromJson(circuitsListing(status, QStringLiteral("/api/archiv/tag"),
                                                QStringLiteral("2/Fk_2/Ja_2012/Mo-08/Tg-17"), {})
                                    .body)
            .array();
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(servedRecording(status, day[0].toObject().value(QStringLiteral("pfad")).toString()),
              servedRecording(status, QStringLiteral("2/") + second));
}

TEST(ServedPathsTest, ServesTheRecordingsFolderTheArchiveFilesInto) {
    QTemporaryDir folder;
    const QString doc = folder.path();
    if (!QDir(doc).mkdir(QStringLiteral("w")) || !QDir(doc).mkdir(QStringLiteral("W"))) {
        GTEST_SKIP() << "the file system does not tell w from W";
    }
    // Filed into w as ever, so an archive that has both keeps its folder.
    const std::optional<QString> filedInto = findRecordingsFolder(doc);
    ASSERT_TRUE(filedInto);
    EXPECT_EQ(QDir(*filedInto).dirName(), QStringLiteral("w"));
    const QString name = kName.mid(1);
    QFile recording(QDir(*filedInto).filePath(name));
    ASSERT_TRUE(recording.open(QIODevice::WriteOnly) && recording.write("RIFF") == 4);
    recording.close();

    const ServedPaths served(doc);
    EXPECT_EQ(served.recordingsFolder(), QFileInfo(*filedInto).canonicalFilePath());
    LiveStatus status;
    status.recordings.append({name, 2.0});
    QStringList hashed;
    const QJsonArray listed = listedRecordingsJson(status, served.recordingsFolder().value_or(QString()),
                                                   [&hashed](const QString& path) {
                                                       hashed << path;
                                                       return QString();
                                                   });
    ASSERT_EQ(listed.size(), 1);
    const QString canonical = QFileInfo(recording.fileName()).canonicalFilePath();
    EXPECT_EQ(served.recording(listed.at(0).toObject().value(QStringLiteral("pfad")).toString()), canonical);
    EXPECT_EQ(hashed, QStringList{canonical});
}

} // namespace
} // namespace kestrova
