#include "base/program/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
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
    EXPECT_EQ(parseCommandLine({QStringLiteral("k"), QStringLiteral("--verify"), QStringLiteral("/d")})
                  .verifyFolder,
              QStringLiteral("/d"));
    const CommandLine lastHash = parseCommandLine({QStringLiteral("k"), QStringLiteral("--verify"),
                                                   QStringLiteral("--letzter-hash"), QStringLiteral("/d")});
    EXPECT_TRUE(lastHash.lastHashOnly);
    EXPECT_EQ(lastHash.verifyFolder, QStringLiteral("/d"));
    // Read off paper, a hash may come in capitals.
    const CommandLine noted =
        parseCommandLine({QStringLiteral("k"), QStringLiteral("--verify"), QStringLiteral("--gegen"),
                          QString(64, QLatin1Char('A')), QStringLiteral("/d")});
    EXPECT_TRUE(noted.error.isEmpty()) << noted.error.toStdString();
    EXPECT_EQ(noted.notedHash, QByteArray(64, 'a'));
    EXPECT_EQ(noted.verifyFolder, QStringLiteral("/d"));
    EXPECT_FALSE(noted.lastHashOnly);
    // A time of day needs no quotes, and an end names the last second of its day or minute.
    const CommandLine exported =
        parseCommandLine({QStringLiteral("k"), QStringLiteral("--export"), QStringLiteral("2026-12-09"),
                          QStringLiteral("14:00"), QStringLiteral("2026-12-10"), QStringLiteral("a.tar"),
                          QStringLiteral("--kreis"), QStringLiteral("2")});
    ASSERT_TRUE(exported.error.isEmpty()) << exported.error.toStdString();
    EXPECT_EQ(exported.exportRequest.from, QDateTime(QDate(2026, 12, 9), QTime(14, 0), Qt::UTC));
    EXPECT_EQ(exported.exportRequest.to, QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59), Qt::UTC));
    EXPECT_EQ(exported.exportRequest.target, QStringLiteral("a.tar"));
    EXPECT_EQ(exported.exportRequest.circuit, QStringLiteral("2"));
    EXPECT_EQ(
        parseCommandLine({QStringLiteral("k"), QStringLiteral("--export"), QStringLiteral("2026-12-09 14:00"),
                          QStringLiteral("2026-12-09 14:30"), QStringLiteral("a.tar")})
            .exportRequest.to,
        QDateTime(QDate(2026, 12, 9), QTime(14, 30, 59), Qt::UTC));
}

TEST(CommandLine, RejectsUnknownOptionsAndAMissingFolder) {
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--bogus")}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--program-folder")}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--verify")}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--letzter-hash")}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--leitstelle"),
                                   QStringLiteral("--web"), QStringLiteral("127.0.0.1:8080")})
                     .error.isEmpty());
    const CommandLine room =
        parseCommandLine({QStringLiteral("k"), QStringLiteral("--leitstelle"), QStringLiteral("/a"),
                          QStringLiteral("/b"), QStringLiteral("--web"), QStringLiteral("127.0.0.1:8080")});
    EXPECT_TRUE(room.controlRoom && room.error.isEmpty());
    EXPECT_EQ(room.circuitFolders, (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
    const auto againstGives = [](const QStringList& rest) {
        return parseCommandLine(QStringList{QStringLiteral("k"), QStringLiteral("--verify")} + rest).error;
    };
    EXPECT_TRUE(againstGives({QStringLiteral("--gegen"), QStringLiteral("3f9c"), QStringLiteral("/d")})
                    .startsWith(QStringLiteral("--gegen: „3f9c“ ist kein Hash; erwartet werden 64")));
    EXPECT_FALSE(
        againstGives({QStringLiteral("--gegen"), QString(64, QLatin1Char('g')), QStringLiteral("/d")})
            .isEmpty());
    EXPECT_FALSE(againstGives({QStringLiteral("--gegen")}).isEmpty());
    EXPECT_FALSE(againstGives({QStringLiteral("--letzter-hash"), QStringLiteral("--gegen"),
                               QString(64, QLatin1Char('0')), QStringLiteral("/d")})
                     .isEmpty());
    EXPECT_FALSE(
        parseCommandLine({QStringLiteral("k"), QStringLiteral("--gegen"), QString(64, QLatin1Char('0'))})
            .error.isEmpty());
    const auto exportGives = [](const QStringList& rest) {
        return parseCommandLine(QStringList{QStringLiteral("k"), QStringLiteral("--export")} + rest).error;
    };
    EXPECT_TRUE(
        exportGives({QStringLiteral("09.12.2026"), QStringLiteral("2026-12-09"), QStringLiteral("a.tar")})
            .startsWith(QStringLiteral("--export: „09.12.2026“ ist kein Zeitpunkt")));
    EXPECT_FALSE(
        exportGives({QStringLiteral("2026-12-10"), QStringLiteral("2026-12-09"), QStringLiteral("a.tar")})
            .isEmpty());
    EXPECT_FALSE(exportGives({QStringLiteral("2026-12-09"), QStringLiteral("2026-12-09")}).isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--kreis"), QStringLiteral("1")})
                     .error.isEmpty());
    EXPECT_TRUE(helpText(QStringLiteral("kestrova")).contains(QStringLiteral("--program-folder")));
}

TEST(CommandLine, SpeaksGermanUnlessTheLocaleIsCOrEnglishAndBothHelpsNameEveryOption) {
    const auto localeGives = [](const char* lcAll, const char* lang) {
        qputenv("LC_ALL", lcAll);
        qputenv("LANG", lang);
        const MessageLanguage language = messageLanguage();
        qunsetenv("LC_ALL");
        qunsetenv("LANG");
        return language;
    };
    EXPECT_EQ(localeGives("", "de_DE.UTF-8"), MessageLanguage::German);
    EXPECT_EQ(localeGives("", ""), MessageLanguage::German);
    EXPECT_EQ(localeGives("", "C"), MessageLanguage::English);
    EXPECT_EQ(localeGives("C.UTF-8", "de_DE.UTF-8"), MessageLanguage::English);
    EXPECT_EQ(localeGives("", "en_GB.UTF-8"), MessageLanguage::English);

    const QString german = helpText(QStringLiteral("kestrova"));
    const QString english = helpText(QStringLiteral("kestrova"), MessageLanguage::English);
    EXPECT_TRUE(german.startsWith(QStringLiteral("Aufruf:")));
    EXPECT_TRUE(english.startsWith(QStringLiteral("Usage:")));
    const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    const auto options = [&option](const QString& text) {
        QStringList found;
        for (const QRegularExpressionMatch& match : option.globalMatch(text)) {
            found << match.captured();
        }
        found.removeDuplicates();
        found.sort();
        return found;
    };
    EXPECT_EQ(options(german), options(english));
    EXPECT_TRUE(parseCommandLine({QStringLiteral("k"), QStringLiteral("--bogus")})
                    .error.startsWith(QStringLiteral("unbekannte Option")));
}

TEST(ProgramFolder, FallsBackToTheUsersFolderWhenTheDefaultCannotBeWritten) {
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString user = dir.filePath(QStringLiteral("user"));
    const ProgramFolderChoice choice = chooseProgramFolder({QString(), readOnly, QString(), user});
    if (isWritableFolder(readOnly)) {
        GTEST_SKIP() << "running with rights that ignore permissions";
    }
    EXPECT_TRUE(choice.fellBack);
    EXPECT_EQ(choice.folder, user);
    EXPECT_TRUE(QDir(user).exists());

    const ProgramFolderChoice asked = chooseProgramFolder({dir.path(), readOnly, QString(), user});
    EXPECT_FALSE(asked.fellBack);
    EXPECT_EQ(asked.folder, QDir::cleanPath(dir.path()));
}

// Root can write to /usr/bin: being writable must not be what keeps the files out.
TEST(ProgramFolder, AnInstalledProgramUsesTheUsersFolderEvenWhenItsOwnIsWritable) {
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("prefix/bin"));
    const QString build = dir.filePath(QStringLiteral("build"));
    const QString user = dir.filePath(QStringLiteral("user"));
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(build));

    const ProgramFolderChoice installed = chooseProgramFolder({QString(), bin + QLatin1Char('/'), bin, user});
    EXPECT_TRUE(installed.installed);
    EXPECT_FALSE(installed.fellBack);
    EXPECT_EQ(installed.folder, user);
    EXPECT_TRUE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    const ProgramFolderChoice built = chooseProgramFolder({QString(), build, bin, user});
    EXPECT_FALSE(built.installed);
    EXPECT_EQ(built.folder, QDir::cleanPath(build));
    EXPECT_EQ(chooseProgramFolder({build, bin, bin, user}).folder, QDir::cleanPath(build));

    for (const char* system : {"/usr/bin", "/usr/local/bin", "/usr/games"}) {
        EXPECT_TRUE(isInstalledProgramFolder(QString::fromLatin1(system), bin)) << system;
    }
    EXPECT_FALSE(isInstalledProgramFolder(QStringLiteral("/usrlocal/bin"), bin));
    EXPECT_FALSE(isInstalledProgramFolder(build, QString()));
    // Installed under a prefix other than the configured one: known by its layout.
    const QString elsewhere = dir.filePath(QStringLiteral("opt/kestrova/bin"));
    ASSERT_TRUE(QDir().mkpath(elsewhere) &&
                QDir().mkpath(dir.filePath(QStringLiteral("opt/kestrova/share/kestrova"))));
    EXPECT_TRUE(chooseProgramFolder({QString(), elsewhere, bin, user}).installed);
}

} // namespace
} // namespace kestrova
