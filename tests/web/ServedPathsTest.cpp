#include "web/ServedPaths.h"

#include "web/RecordingJson.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
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

} // namespace
} // namespace kestrova
