// The settings file on disk and the packed line 8.
#include "base/settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(PinLine, UnpacksTheFourCharacters) {
    const PinLine plain = unpackPinLine(QStringLiteral("71 1"));
    EXPECT_EQ(plain.pttText, QStringLiteral("7"));
    EXPECT_EQ(plain.squelchText, QStringLiteral("1 "));
    EXPECT_EQ(plain.activeChar, QStringLiteral("1"));
    const PinLine inverted = unpackPinLine(QStringLiteral("46-0"));
    EXPECT_EQ(inverted.squelchText, QStringLiteral("6-"));
    EXPECT_EQ(inverted.activeChar, QStringLiteral("0"));
    EXPECT_EQ(unpackPinLine(QStringLiteral("4")).squelchText, QString());
}

TEST(PinLine, PacksAPlainPinWithABlankAndFlagOne) {
    const PackedPins plain = packPinLine(QStringLiteral("4"), QStringLiteral("8"));
    EXPECT_EQ(plain.line, QStringLiteral("48 1"));
    EXPECT_EQ(plain.squelchText, QStringLiteral("8 "));
    EXPECT_EQ(plain.activeChar, QStringLiteral("1"));
    const PackedPins inverted = packPinLine(QStringLiteral("7"), QStringLiteral("9-"));
    EXPECT_EQ(inverted.line, QStringLiteral("79-0"));
    EXPECT_EQ(inverted.squelchText, QStringLiteral("9-"));
}

TEST(SettingsFile, DefaultSetsDifferOnlyInRateAndFormTop) {
    const QDateTime now(QDate(2012, 8, 17), QTime(9, 5, 7));
    const QStringList fresh = defaultSettingsLines(DefaultSet::NewFile, QStringLiteral("/opt/k"), now);
    const QStringList damaged = defaultSettingsLines(DefaultSet::DamagedFile, QStringLiteral("/opt/k"), now);
    ASSERT_EQ(fresh.size(), kSettingsLineCount);
    ASSERT_EQ(damaged.size(), kSettingsLineCount);
    EXPECT_EQ(fresh[0], QStringLiteral("/opt/k/ini/Kestrova.ini erstellt 17.08.2012, 09:05:07"));
    EXPECT_EQ(saveNote(QStringLiteral("/opt/k"), now),
              QStringLiteral("/opt/k/Kestrova.ini erstellt 17.08.2012 - 09:05:07"));
    for (int i = 1; i < kSettingsLineCount; ++i) {
        if (i == 3 || i == 29) {
            EXPECT_NE(fresh[i], damaged[i]) << "line " << i + 1;
        } else {
            EXPECT_EQ(fresh[i], damaged[i]) << "line " << i + 1;
        }
    }
    EXPECT_EQ(fresh[3], QStringLiteral("11025"));
    EXPECT_EQ(damaged[3], QStringLiteral("8000"));
    EXPECT_EQ(fresh[29], QStringLiteral("6375"));
    EXPECT_EQ(damaged[29], QStringLiteral("5205"));
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("Kestrova.ini")); }
    void writeRaw(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFileOnDisk, WritesCrLfInTheWindowsCodePageAndReadsItBack) {
    QStringList lines;
    for (int i = 1; i <= kSettingsLineCount; ++i) {
        lines << QStringLiteral("Zeile %1 ü").arg(i);
    }
    ASSERT_TRUE(writeSettingsLines(path(), lines));
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    EXPECT_TRUE(raw.startsWith("Zeile 1 \xFC\r\nZeile 2"));
    EXPECT_TRUE(raw.endsWith("Zeile 30 \xFC\r\n"));
    EXPECT_EQ(readSettingsLines(path()), lines);
}

TEST_F(SettingsFileOnDisk, TakesThirtyLinesAndCountsAShortFileAsDamaged) {
    QByteArray thirtyOne;
    for (int i = 1; i <= 31; ++i) {
        thirtyOne += QByteArray::number(i) + "\r\n";
    }
    writeRaw(thirtyOne);
    const auto lines = readSettingsLines(path());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), kSettingsLineCount);
    EXPECT_EQ(lines->last(), QStringLiteral("30"));

    QByteArray twentyNine;
    for (int i = 1; i <= 29; ++i) {
        twentyNine += QByteArray::number(i) + "\r\n";
    }
    writeRaw(twentyNine);
    EXPECT_FALSE(readSettingsLines(path()));
    EXPECT_FALSE(readSettingsLines(dir.filePath(QStringLiteral("missing.ini"))));
}

TEST_F(SettingsFileOnDisk, AcceptsALastLineWithoutLineEndAndBareLineFeeds) {
    QByteArray text;
    for (int i = 1; i <= 30; ++i) {
        text += QByteArray::number(i) + (i == 30 ? "" : (i % 2 == 0 ? "\n" : "\r\n"));
    }
    writeRaw(text);
    const auto lines = readSettingsLines(path());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(29), QStringLiteral("30"));
    EXPECT_EQ(lines->at(1), QStringLiteral("2"));
}

// A full disk as the program meets it: a write that fails, or one that reports
// success while nothing reaches the disk (a flush that fails unnoticed).
class FullDisk final : public FileWriteCalls {
public:
    explicit FullDisk(bool reportsSuccess) : reportsSuccess_(reportsSuccess) {}
    qint64 write(int /*descriptor*/, const char* /*data*/, qint64 size) const override {
        return reportsSuccess_ ? size : -1;
    }

private:
    bool reportsSuccess_;
};

TEST_F(SettingsFileOnDisk, AFailedWriteLeavesTheOldFileWhole) {
    writeRaw("old contents\r\n");
    const QString blocked = dir.filePath(QStringLiteral("no-such-folder/Kestrova.ini"));
    EXPECT_FALSE(writeSettingsLines(blocked, {QStringLiteral("x")}));
    for (const bool reportsSuccess : {false, true}) {
        EXPECT_FALSE(writeSettingsLines(path(), {QStringLiteral("x")}, FullDisk(reportsSuccess)));
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old contents\r\n"));
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Kestrova.ini")});
}

TEST_F(SettingsFileOnDisk, ReadsNoMoreThanItsLimit) {
    QByteArray text;
    for (int i = 1; i <= 30; ++i) {
        text += QByteArray::number(i) + "\r\n";
    }
    writeRaw(text + QByteArray(2 * kSettingsReadLimit, 'x'));
    EXPECT_EQ(readSettingsLines(path())->at(29), QStringLiteral("30"));
    // A thirtieth line that runs past the limit is not taken cut short.
    text.chop(4);
    writeRaw(text + QByteArray(2 * kSettingsReadLimit, '7') + "\r\n");
    EXPECT_FALSE(readSettingsLines(path()));
}

} // namespace
} // namespace kestrova
