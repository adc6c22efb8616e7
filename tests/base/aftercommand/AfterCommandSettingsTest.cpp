#include "base/aftercommand/AfterCommandSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

AfterCommandSettings readFrom(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = afterCommandSettingsPath(dir.path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    return readAfterCommandSettings(path);
}

// The keys as written, the command whole (an "=" in it too), and a value out of
// range refused with a German line, its default standing.
TEST(AfterCommandSettingsTest, TakesTheNamedLinesAndRefusesWhatIsOutOfRange) {
    QTemporaryDir dir;
    const AfterCommandSettings absent = readAfterCommandSettings(afterCommandSettingsPath(dir.path()));
    EXPECT_FALSE(absent.isOn());
    EXPECT_EQ(absent.timeLimit, std::chrono::seconds(600));
    EXPECT_EQ(absent.atOnce, 2);
    EXPECT_TRUE(absent.problems.isEmpty());

    AfterCommandSettings read =
        readFrom(dir, "# Hochladen\n"
                      " Nach_Aufnahme = rclone copyto \"$KESTROVA_DATEI\" s3:funk/a=b\n"
                      "zeitlimit=45\ngleichzeitig=1\n");
    EXPECT_EQ(read.command, QStringLiteral("rclone copyto \"$KESTROVA_DATEI\" s3:funk/a=b"));
    EXPECT_EQ(read.timeLimit, std::chrono::seconds(45));
    EXPECT_EQ(read.atOnce, 1);
    EXPECT_TRUE(read.problems.isEmpty());

    read = readFrom(dir, "nach_aufnahme=\ngleichzeitig=3\nzeitlimit=zehn\n");
    EXPECT_FALSE(read.isOn());
    EXPECT_EQ(read.atOnce, 2);
    EXPECT_EQ(read.timeLimit, std::chrono::seconds(600));
    const QString atOnceRefused =
        QStringLiteral("gleichzeitig=3 wird nicht übernommen: erlaubt sind ganze Zahlen von 1 bis 2.");
    EXPECT_EQ(
        read.problems,
        QStringList({QStringLiteral("zeitlimit=zehn wird nicht übernommen: erlaubt sind ganze Zahlen von 1 "
                                    "bis 86400."),
                     atOnceRefused}));
    // --setze checks a value as the reading does.
    EXPECT_EQ(afterCommandValueProblem(QStringLiteral("gleichzeitig"), QStringLiteral("3")), atOnceRefused);
    EXPECT_TRUE(afterCommandValueProblem(QStringLiteral("zeitlimit"), QStringLiteral("45")).isEmpty());
}

} // namespace
} // namespace kestrova
