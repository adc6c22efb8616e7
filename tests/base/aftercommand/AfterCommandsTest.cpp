#include "base/aftercommand/AfterCommands.h"

#include "base/desktop/SystemClock.h"
#include "support/FakeClock.h"
#include "support/FakeEventLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using std::chrono::milliseconds;

// Real commands through the shell, on a program folder of the test's own whose
// recordings folder has a name a shell would run if it were pasted into a command.
class AfterCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("w $(touch injiziert)")));
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("out")));
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A recording of random bytes in the recordings folder, with its facts.
    FiledRecording file(int second) {
        FiledRecording facts;
        facts.name = QStringLiteral("3_12-09-2026_01-02-%1.wav").arg(second, 2, 10, QLatin1Char('0'));
        facts.path = path(QStringLiteral("w $(touch injiziert)/") + facts.name);
        facts.relativePath = QStringLiteral("W/") + facts.name;
        // The recorder's start, at the offset the local clock had.
        facts.start = QDateTime(QDate(2026, 12, 9), QTime(1, 2, second), Qt::OffsetFromUTC, 3600);
        facts.seconds = 1.5;
        QByteArray content(3000 + second, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(content.data()), content.size() / 4);
        facts.sha256 =
            QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
        facts.downloadAddress = QStringLiteral("http://h:8080/datei?pfad=W%2F") + facts.name;
        QFile out(facts.path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return facts;
    }

    void script(const QString& name, const QByteArray& body) const {
        QFile out(path(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("#!/bin/sh\n" + body);
        out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
    }

    std::unique_ptr<AfterCommands> commands(const QString& command, int atOnce, AfterCommandTiming timing,
                                            milliseconds timeLimit = std::chrono::seconds(20)) {
        AfterCommandSettings settings;
        settings.command = command;
        settings.atOnce = atOnce;
        settings.timeLimit = timeLimit;
        auto made = std::make_unique<AfterCommands>(settings, path(QStringLiteral("queue")), dir_.path(),
                                                    events_, *clock_, timing);
        made->start();
        return made;
    }

    static bool allDone(const AfterCommands& commands, int timeoutMs = 15000) {
        return QTest::qWaitFor([&commands] { return commands.waiting() == 0; }, timeoutMs);
    }

    QStringList failures() const { return events_.containing(QStringLiteral("fehlgeschlagen")); }

    QTemporaryDir dir_;
    test::FakeEventLog events_;
    SystemClock systemClock_;
    test::FakeClock fakeClock_;
    const Clock* clock_ = &systemClock_;
};

constexpr AfterCommandTiming kQuick{milliseconds(300), milliseconds(1200), milliseconds(200)};

// Each recording reaches the command byte for byte, with its facts in the
// environment only, and no more than two commands run at a time.
TEST_F(AfterCommandsTest, CopiesEachRecordingWithItsFactsTwoAtATime) {
    script(QStringLiteral("kopie.sh"), "echo start >> marks\n"
                                       "sleep 0.3\n"
                                       "cp \"$KESTROVA_DATEI\" \"out/$KESTROVA_NAME\" || exit 1\n"
                                       "env | grep '^KESTROVA_' | sort > \"out/$KESTROVA_NAME.env\"\n"
                                       "echo end >> marks\n");
    const auto after = commands(QStringLiteral("./kopie.sh"), 2, kQuick);
    QList<FiledRecording> filed;
    for (int second = 1; second <= 5; ++second) {
        filed << file(second);
        after->take(filed.constLast());
        EXPECT_LE(after->running(), 2);
    }
    ASSERT_TRUE(allDone(*after));

    for (const FiledRecording& facts : std::as_const(filed)) {
        QFile original(facts.path);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(read(QStringLiteral("out/") + facts.name), original.readAll());
        const QStringList environment =
            QString::fromUtf8(read(QStringLiteral("out/") + facts.name + QStringLiteral(".env")))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString start = QStringLiteral("2026-12-09T01:02:%1+01:00").arg(facts.name.mid(19, 2));
        EXPECT_EQ(environment, QStringList({QStringLiteral("KESTROVA_ADRESSE=") + facts.downloadAddress,
                                            QStringLiteral("KESTROVA_DATEI=") + facts.path,
                                            QStringLiteral("KESTROVA_KREIS=3"),
                                            QStringLiteral("KESTROVA_NAME=") + facts.name,
                                            QStringLiteral("KESTROVA_PFAD=W/") + facts.name,
                                            QStringLiteral("KESTROVA_SEKUNDEN=1.5"),
                                            QStringLiteral("KESTROVA_SHA256=") + facts.sha256,
                                            QStringLiteral("KESTROVA_START=") + start}));
    }
    int atOnce = 0;
    int most = 0;
    for (const QByteArray& mark : read(QStringLiteral("marks")).split('\n')) {
        atOnce += mark == "start" ? 1 : mark == "end" ? -1 : 0;
        most = std::max(most, atOnce);
    }
    EXPECT_EQ(most, 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("injiziert"))));
    EXPECT_TRUE(failures().isEmpty());
}

// A command that fails waits its back-off, doubled the second time, while the
// recordings filed after it go on; each failure is one line of the log.
TEST_F(AfterCommandsTest, RetriesAFailureAfterItsBackOffWhileTheOthersGoOn) {
    script(QStringLiteral("netz.sh"), "n=$(cat \"count_$KESTROVA_NAME\" 2>/dev/null || echo 0)\n"
                                      "n=$((n + 1)); echo $n > \"count_$KESTROVA_NAME\"\n"
                                      "echo \"$KESTROVA_NAME $(date +%s%N)\" >> runs\n"
                                      "if [ \"$KESTROVA_NAME\" = \"$1\" ] && [ $n -le 2 ]; then\n"
                                      "    printf 'Verbindung\\nabgelehnt %s' $n >&2; exit 7\n"
                                      "fi\n");
    const QList<FiledRecording> filed{file(1), file(2), file(3)};
    const auto after = commands(QStringLiteral("./netz.sh ") + filed[0].name, 1,
                                {milliseconds(500), milliseconds(2000), milliseconds(200)});
    for (const FiledRecording& facts : filed) {
        after->take(facts);
    }
    ASSERT_TRUE(allDone(*after));

    QStringList order;
    QList<qint64> failingAt;
    for (const QByteArray& run : read(QStringLiteral("runs")).split('\n')) {
        if (const QList<QByteArray> fields = run.split(' '); fields.size() == 2) {
            order << QString::fromUtf8(fields[0]);
            if (order.constLast() == filed[0].name) {
                failingAt << fields[1].toLongLong() / 1000000;
            }
        }
    }
    EXPECT_EQ(order,
              QStringList({filed[0].name, filed[1].name, filed[2].name, filed[0].name, filed[0].name}));
    ASSERT_EQ(failingAt.size(), 3);
    EXPECT_GE(failingAt[1] - failingAt[0], 500);
    EXPECT_GE(failingAt[2] - failingAt[1], 1000);

    const QStringList lines = failures();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Befehl nach der Aufnahme ") + filed[0].name));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Exitcode 7, Fehlerausgabe: „Verbindung abgelehnt 1“; "
                                                 "nächster Versuch in 0,5 s (")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("abgelehnt 2“; nächster Versuch in 1 s (")));
    EXPECT_EQ(events_.containing(QStringLiteral("nach 2 Fehlversuchen ausgeführt")).size(), 1);
}

bool processGone(const QByteArray& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.trimmed())));
    // A zombie has ended too; its parent has not yet looked.
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

// A command past its time limit is asked to end, then killed with what it started:
// a shell that ends at once leaves nothing behind, and one that ignores the request
// is killed after the grace.
TEST_F(AfterCommandsTest, TimeLimitEndsAHangingCommandWithAllItStarted) {
    script(QStringLiteral("haengt.sh"),
           "trap '' TERM\nsleep 30 &\necho $! > \"schlaefer_$KESTROVA_NAME\"\nwait\n");
    const QList<FiledRecording> filed{file(1), file(2)};
    const auto after =
        commands(QStringLiteral("[ \"$KESTROVA_NAME\" = ") + filed[1].name +
                     QStringLiteral(" ] && trap '' TERM; ./haengt.sh"),
                 2, {std::chrono::minutes(1), std::chrono::minutes(1), milliseconds(400)}, milliseconds(300));
    QElapsedTimer clock;
    clock.start();
    after->take(filed[0]);
    after->take(filed[1]);
    ASSERT_TRUE(QTest::qWaitFor([this] { return failures().size() == 1; }, 5000));
    EXPECT_LT(clock.elapsed(), 700);
    ASSERT_TRUE(QTest::qWaitFor([this] { return failures().size() == 2; }, 5000));
    EXPECT_GE(clock.elapsed(), 700);
    EXPECT_EQ(after->running(), 0);
    EXPECT_EQ(after->waiting(), 2);
    for (const QString& line : failures()) {
        EXPECT_TRUE(line.contains(QStringLiteral("Zeitlimit von 0,3 s überschritten, abgebrochen; "
                                                 "nächster Versuch in 60 s (")));
    }
    for (const FiledRecording& facts : filed) {
        const QString sleeper = QStringLiteral("schlaefer_") + facts.name;
        ASSERT_FALSE(read(sleeper).isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return processGone(read(sleeper)); }, 2000))
            << sleeper.toStdString();
    }
}

// What waited when the program ended is taken up by the next start, at the time
// each job's back-off set; a recording deleted meanwhile is dropped with one line.
TEST_F(AfterCommandsTest, ARestartTakesUpWhatWaited) {
    const QList<FiledRecording> filed{file(1), file(2), file(3)};
    {
        const auto before =
            commands(QStringLiteral("exit 3"), 2, {milliseconds(1000), milliseconds(1000), {}});
        for (const FiledRecording& facts : filed) {
            before->take(facts);
        }
        ASSERT_TRUE(QTest::qWaitFor([this] { return failures().size() == 3; }, 5000));
    }
    ASSERT_TRUE(QFile::remove(filed[2].path));

    const auto after = commands(QStringLiteral("cp \"$KESTROVA_DATEI\" out/"), 2, kQuick);
    EXPECT_EQ(after->running(), 0); // their back-off has not passed yet
    ASSERT_TRUE(allDone(*after));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/")) + filed[0].name));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/")) + filed[1].name));
    EXPECT_EQ(events_.containing(QStringLiteral("gibt es nicht mehr")).size(), 1);

    const qsizetype lines = events_.lines.size();
    const auto again = commands(QStringLiteral("exit 3"), 2, kQuick);
    EXPECT_EQ(again->waiting(), 0);
    EXPECT_EQ(events_.lines.size(), lines);
}

// A queue file that is a FIFO or a link planted elsewhere is neither waited on
// nor followed: said once, the commands run from memory, and the file the link
// leads to gets nothing.
TEST_F(AfterCommandsTest, AQueueFileThatIsAFifoOrALinkLeavesTheQueueInMemory) {
    const QString elsewhere = path(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile(elsewhere).open(QIODevice::WriteOnly));
    for (const bool fifo : {true, false}) {
        QFile::remove(path(QStringLiteral("queue")));
        ASSERT_TRUE(fifo ? QProcess::execute(QStringLiteral("mkfifo"), {path(QStringLiteral("queue"))}) == 0
                         : QFile::link(elsewhere, path(QStringLiteral("queue"))));
        events_.lines.clear();
        const auto after = commands(QStringLiteral("cp \"$KESTROVA_DATEI\" out/"), 2, kQuick);
        const FiledRecording facts = file(fifo ? 1 : 2);
        after->take(facts);
        ASSERT_TRUE(allDone(*after));
        EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/")) + facts.name));
        EXPECT_EQ(events_.containing(QStringLiteral("nicht lesbar")).size(), 1);
        EXPECT_TRUE(events_.containing(QStringLiteral("nicht beschreibbar")).isEmpty());
    }
    EXPECT_EQ(QFileInfo(elsewhere).size(), 0);
}

// Waits run on the steady clock. A retry that the queue says is due years ahead
// (the clock was set back since it was written) is due at once after a restart,
// and a wall clock set on by a day brings no retry forward.
TEST_F(AfterCommandsTest, AStepOfTheWallClockNeitherHoldsBackNorBringsForwardARetry) {
    clock_ = &fakeClock_;
    fakeClock_.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 16), Qt::UTC));
    const FiledRecording waited = file(5);
    {
        const auto before =
            commands(QStringLiteral("exit 3"), 1, {std::chrono::seconds(30), std::chrono::minutes(30), {}});
        before->take(waited);
        ASSERT_TRUE(QTest::qWaitFor([this] { return failures().size() == 1; }, 5000));
    }
    fakeClock_.set(QDateTime(QDate(2020, 6, 1), QTime(10, 0, 0), Qt::UTC));
    const auto after = commands(QStringLiteral("[ ! -e kaputt ] && cp \"$KESTROVA_DATEI\" out/"), 1,
                                {milliseconds(300), std::chrono::minutes(30), milliseconds(200)});
    ASSERT_TRUE(allDone(*after, 5000));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/")) + waited.name));

    ASSERT_TRUE(QFile(path(QStringLiteral("kaputt"))).open(QIODevice::WriteOnly));
    after->take(file(6));
    ASSERT_TRUE(QTest::qWaitFor([this] { return failures().size() == 2; }, 5000));
    QFile::remove(path(QStringLiteral("kaputt")));
    fakeClock_.set(fakeClock_.now().addDays(1));
    QTest::qWait(700);
    EXPECT_EQ(after->waiting(), 1);
    fakeClock_.advance(300);
    EXPECT_TRUE(allDone(*after, 5000));
}

// A recording on a disk that is away (its folder is gone too) waits for the disk
// to come back instead of being dropped.
TEST_F(AfterCommandsTest, ARecordingOnADiskThatIsAwayWaitsForIt) {
    const FiledRecording facts = file(4);
    const QString folder = QFileInfo(facts.path).absolutePath();
    ASSERT_TRUE(QDir().rename(folder, path(QStringLiteral("weg"))));
    const auto after = commands(QStringLiteral("cp \"$KESTROVA_DATEI\" out/"), 2, kQuick);
    after->take(facts);
    ASSERT_EQ(failures().size(), 1);
    EXPECT_TRUE(failures()[0].contains(QStringLiteral("ist nicht erreichbar); nächster Versuch in 0,3 s (")));
    EXPECT_EQ(after->waiting(), 1);
    ASSERT_TRUE(QDir().rename(path(QStringLiteral("weg")), folder));
    ASSERT_TRUE(allDone(*after));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/")) + facts.name));
}

// The README's upload line as written, to its remote made of type "local" in the
// program folder: a HOME that holds no configuration (an instance's) must not matter.
TEST_F(AfterCommandsTest, RcloneCopiesAsTheReadmeShowsWhateverTheHome) {
    if (QStandardPaths::findExecutable(QStringLiteral("rclone")).isEmpty()) {
        GTEST_SKIP() << "rclone is not installed";
    }
    QFile readme(QStringLiteral(KESTROVA_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString prefix = QStringLiteral("    nach_aufnahme=");
    QString line;
    while (!readme.atEnd() &&
           !(line.startsWith(prefix + QStringLiteral("rclone")) && line.contains(u"s3funk:"))) {
        line = QString::fromUtf8(readme.readLine()).chopped(1);
    }
    ASSERT_TRUE(line.contains(u"s3funk:funk")) << "no rclone line in the README";
    QFile config(path(QStringLiteral("rclone.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[s3funk]\ntype = local\n");
    config.close();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", path(QStringLiteral("out")).toUtf8());
    const auto after = commands(line.mid(prefix.size()), 2, kQuick);
    const FiledRecording facts = file(8);
    after->take(facts);
    const bool done = allDone(*after);
    qputenv("HOME", home);
    ASSERT_TRUE(done) << failures().join(u'\n').toStdString();
    QFile original(facts.path);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QString target = line.section(QStringLiteral("s3funk:"), 1).section(u'"', 0, 0);
    EXPECT_EQ(read(target + QStringLiteral("W/") + facts.name), original.readAll());
}

// The example for speech to text, with a recognizer that names what it heard: the
// copy and its text lie below the target as the page names the recording.
TEST_F(AfterCommandsTest, TheSpeechExampleWritesTheTextBesideACopy) {
    script(QStringLiteral("erkenne"), "echo \"Gehört: $(basename \"$1\")\"\n");
    const auto after =
        commands(QStringLiteral("SPRACHE_PROGRAMM=./erkenne SPRACHE_ZIEL=abschriften sh '") +
                     QStringLiteral(KESTROVA_EXAMPLES) + QStringLiteral("/sprache-zu-text.sh'"),
                 2, kQuick);
    const FiledRecording facts = file(7);
    after->take(facts);
    ASSERT_TRUE(allDone(*after));
    const QString copy = QStringLiteral("abschriften/W/") + facts.name;
    QFile original(facts.path);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(read(copy), original.readAll());
    EXPECT_EQ(read(copy.chopped(4) + QStringLiteral(".txt")),
              (QStringLiteral("Gehört: ") + facts.name + '\n').toUtf8());
    EXPECT_TRUE(failures().isEmpty());
}

} // namespace
} // namespace kestrova
