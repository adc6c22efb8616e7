#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(CommandLine, ReadsTheOptions) {
    const CommandLine line = parseCommandLine({QStringLiteral("kestrova"), QStringLiteral("--program-folder"),
                                               QStringLiteral("/tmp/k"), QStringLiteral("--version")});
    EXPECT_TRUE(line.showVersion);
    EXPECT_FALSE(line.showHelp);
    EXPECT_EQ(line.programFolder, QStringLiteral("/tmp/k"));
    EXPECT_TRUE(line.error.isEmpty());
    EXPECT_EQ(parseCommandLine({QStringLiteral("k"), QStringLiteral("--program-folder=/x")}).programFolder,
              QStringLiteral("/x"));
}

TEST(CommandLine, RejectsUnknownOptionsAndAMissingFolder) {
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--bogus")}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--program-folder")}).error.isEmpty());
    EXPECT_TRUE(helpText(QStringLiteral("kestrova")).contains(QStringLiteral("--program-folder")));
}

TEST(ProgramFolder, FallsBackToTheUsersFolderWhenTheDefaultCannotBeWritten) {
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString user = dir.filePath(QStringLiteral("user"));
    const ProgramFolderChoice choice = chooseProgramFolder(QString(), readOnly, user);
    if (isWritableFolder(readOnly)) {
        GTEST_SKIP() << "running with rights that ignore permissions";
    }
    EXPECT_TRUE(choice.fellBack);
    EXPECT_EQ(choice.folder, user);
    EXPECT_TRUE(QDir(user).exists());

    const ProgramFolderChoice asked = chooseProgramFolder(dir.path(), readOnly, user);
    EXPECT_FALSE(asked.fellBack);
    EXPECT_EQ(asked.folder, QDir::cleanPath(dir.path()));
}

} // namespace
} // namespace kestrova
