#include "base/files/SafeSaveFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// A disk that takes every write and reports it whole, but one byte arrives changed.
class ChangesAByte final : public FileWriteCalls {
public:
    qint64 write(int descriptor, const char* data, qint64 size) const override {
        QByteArray changed(data, size);
        changed[size / 2] = static_cast<char>(changed[size / 2] ^ 0x01);
        return FileWriteCalls::write(descriptor, changed.constData(), size);
    }
};

TEST(SafeSaveFile, BytesChangedOnTheWayLeaveTheOldFileInPlace) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("1_12-09-2026_10-00-00.wav"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const ChangesAByte disk;
    SafeSaveFile out(target, disk);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray(300'001, char(128)));
    EXPECT_FALSE(out.commit());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// An export must never take the place of a file that came while it was written.
TEST(SafeSaveFile, NeverReplacesAFileThatCameMeanwhile) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("auszug.tar"));
    SafeSaveFile out(target);
    out.neverReplace();
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("new");
    QFile other(target);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("other");
    other.close();
    EXPECT_FALSE(out.commit());
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("other"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

} // namespace
} // namespace kestrova
