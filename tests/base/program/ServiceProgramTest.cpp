#include "base/program/ServiceProgram.h"

#include "archive/RecordingFiles.h"
#include "base/aftercommand/AfterCommands.h"
#include "base/archive/Archive.h"
#include "base/files/DurableQueue.h"
#include "base/integrity/FileHash.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsStore.h"
#include "support/FakePlatform.h"
#include "support/WavBytes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace kestrova::test {
namespace {

void writeSettings(const QString& folder, const QStringList& lines) {
    QFile file(QDir(folder).filePath(QStringLiteral("Kestrova.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

// Automatic start off, as a windowed user may have left it: the service records all the same.
QStringList serviceSettings(const QString& folder) {
    return {QStringLiteral("note"),
            folder,
            "e2e",
            "11025",
            "0",
            "1",
            "",
            "46-0",
            "67",
            "1",
            "180",
            "5",
            "10",
            "3",
            "50",
            "0",
            "1",
            "0",
            "1",
            "0",
            "0",
            "10",
            "1",
            "1",
            "0",
            "6",
            "15",
            "15",
            "15",
            "6375"};
}

TEST(ServiceProgramAlone, RecordsAsTheSettingsFileSaysAndEndsOnTheShutDown) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    writeSettings(folder.path(), serviceSettings(folder.path()));
    ServiceProgram service(fakes.platform(), folder.path());
    bool ended = false;
    QObject::connect(&service, &ServiceProgram::ended, [&ended] { ended = true; });
    // The recorder listens before the list pass reads the folder, which takes long
    // with a long list.
    bool onAsThePassBegan = false;
    QObject::connect(&service.archive(), &Archive::passStarted,
                     [&] { onAsThePassBegan = service.recorder().isSwitchedOn(); });
    ASSERT_TRUE(service.takeFolder());
    ASSERT_TRUE(service.start());
    EXPECT_EQ(service.settings().values.meterSampleRate, 11025);
    EXPECT_TRUE(onAsThePassBegan);
    EXPECT_TRUE(service.recorder().isSwitchedOn());
    EXPECT_TRUE(fakes.capture.isRecording());
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("Aufnahme begonnen")).isEmpty());
    // From the system's default input, as the windows do: a sound server that starts late still comes.
    ASSERT_FALSE(fakes.audioInput.opens.empty());
    EXPECT_EQ(fakes.audioInput.opens.front().position, -1);
    // systemd hears of the start once the front ends run too, then what the recorder does.
    const QByteArrayList& notices = fakes.serviceManager.notices;
    EXPECT_EQ(notices, QByteArrayList({"STATUS=Kestrova startet"}));
    service.reportReady();
    EXPECT_EQ(notices.last(), "READY=1\nSTATUS=Recorder eingeschaltet, wartet auf Funkverkehr");
    service.recorder().onSignal();
    EXPECT_TRUE(notices.last().startsWith("STATUS=Aufnahme läuft: 1_")) << notices.last().toStdString();

    // A second one on the same folder says so and touches nothing.
    FakePlatform secondFakes;
    ServiceProgram second(secondFakes.platform(), folder.path());
    EXPECT_FALSE(second.takeFolder());
    ASSERT_EQ(secondFakes.dialogs.messages.size(), 1U);
    EXPECT_TRUE(secondFakes.dialogs.messages.front().text.contains(QStringLiteral("läuft bereits")));
    EXPECT_EQ(secondFakes.capture.captures, 0);

    service.shutDown();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(service.hasEnded());
    EXPECT_FALSE(service.recorder().isSwitchedOn());
    // The running recording is saved and said so before the recorder goes off.
    const QStringList lines = fakes.events.lines;
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.at(lines.size() - 2).startsWith(QStringLiteral("Aufnahme ")))
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("Recorder ausgeschaltet"));
    EXPECT_EQ(notices.last(), "STOPPING=1\nSTATUS=Kestrova endet");
}

// The watchdog hears from the event loop at half its timeout, so a loop that hangs stops
// the pings; until the start is over each ping lengthens the start as well.
TEST(ServiceProgramAlone, PingsTheWatchdogFromItsEventLoop) {
    FakePlatform fakes;
    fakes.serviceManager.timeout = std::chrono::milliseconds(100);
    const QTemporaryDir folder;
    ServiceProgram service(fakes.platform(), folder.path());
    const auto pings = [&fakes](const QByteArray& notice) {
        return fakes.serviceManager.notices.count(notice);
    };
    QTest::qWait(300);
    EXPECT_GE(pings("WATCHDOG=1\nEXTEND_TIMEOUT_USEC=100000"), 3);
    service.reportReady();
    QThread::msleep(300);
    QCoreApplication::processEvents();
    // One ping for the whole hang, late, as the loop came back.
    EXPECT_LE(pings("WATCHDOG=1"), 1);
    QTest::qWait(300);
    EXPECT_GE(pings("WATCHDOG=1"), 3);
}

// Without a desktop the log is the user's only view: each deletion of the retention,
// each keying and release, and a port that cannot be opened are said there.
TEST(ServiceProgramAlone, LogsRetentionKeyingAndPortFailure) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    QStringList lines = serviceSettings(folder.path());
    lines[6] = QStringLiteral("/dev/ttyS1"); // COM port
    lines[19] = QStringLiteral("1");         // transmitter keyed over the port
    writeSettings(folder.path(), lines);
    QDir(folder.path()).mkpath(QStringLiteral("W"));
    for (const char* name : {"1_08-10-2012_10-00-00.wav", "1_08-17-2012_10-00-00.wav"}) {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("W/") + QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(recordingOfSeconds(30));
    }
    ServiceProgram service(fakes.platform(), folder.path());
    ASSERT_TRUE(service.takeFolder() && service.start());
    EXPECT_EQ(fakes.events.containing(QStringLiteral("gelöscht")),
              QStringList{QStringLiteral("Alte oder zu kurze Aufnahme gelöscht: ") +
                          QDir::toNativeSeparators(
                              QDir(folder.path()).filePath(QStringLiteral("W/1_08-10-2012_10-00-00.wav")))});

    service.transmitter().transmitterOn();
    service.transmitter().transmitterOff();
    // A stop that finds the transmitter un-keyed says nothing.
    service.transmitter().transmitterOff();
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Sender")),
              QStringList({QStringLiteral("Sender getastet"), QStringLiteral("Sender freigegeben")}));

    fakes.serial.openable = false;
    service.transmitter().openControlPort();
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Kein Anschluß")),
              QStringList{QStringLiteral("Kein Anschluß an /dev/ttyS1: Die Schnittstelle gibt es nicht.")});
    service.shutDown();
}

// A recording kept just before the end is read once, for its manifest, on the
// manifests' thread; the loop has ended when the links take over, and still its
// facts reach the command's queue on the disk, hash and all.
TEST(ServiceProgramAlone, TheLastRecordingReachesTheCommandsQueueWithItsHash) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    writeSettings(folder.path(), serviceSettings(folder.path()));
    QFile command(afterCommandSettingsPath(folder.path()));
    ASSERT_TRUE(command.open(QIODevice::WriteOnly));
    command.write("nach_aufnahme=true\n");
    command.close();
    ServiceProgram service(fakes.platform(), folder.path());
    ASSERT_TRUE(service.takeFolder());
    ControlRoomLinks links(service.circuit().controlRoomSources(), QString());
    ASSERT_TRUE(service.start());
    links.start();

    const QString name = QStringLiteral("1_08-17-2012_14-30-12.wav");
    const QString working = QDir(folder.path()).filePath(QStringLiteral("zuletzt.wav"));
    QFile capture(working);
    ASSERT_TRUE(capture.open(QIODevice::WriteOnly));
    const QByteArray body = QByteArray("WAVE") + chunk("fmt ", fmtBody(1, 11025, 8)) +
                            chunk("data", QByteArray(3 * 11025, '\x80'));
    capture.write(chunk("RIFF", body));
    capture.close();
    service.archive().keepRecording(working, name);
    service.shutDown();
    links.finish();
    DurableQueue queue(afterCommandQueuePath(folder.path()), 10);
    ASSERT_TRUE(queue.load());
    ASSERT_EQ(queue.size(), 1);
    const FiledRecording told = FiledRecording::fromJson(
        QJsonDocument::fromJson(queue.front()).object().value(QStringLiteral("aufnahme")).toObject());
    EXPECT_EQ(told.name, name);
    const std::optional<FileHash> hash = hashFile(told.path);
    ASSERT_TRUE(hash);
    EXPECT_EQ(told.sha256, QString::fromLatin1(hash->hash));
}

// A folder deleted under a running service and made again is the folder of the
// service that takes it then: the old one files nothing there until it holds it again.
TEST(ServiceProgramAlone, LosesItsFolderAndFilesNothingThereUntilItHoldsItAgain) {
    FakePlatform fakes;
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("kreis"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeSettings(folder, serviceSettings(folder));
    ServiceProgram old(fakes.platform(), folder);
    ASSERT_TRUE(old.takeFolder() && old.start());
    ASSERT_TRUE(old.recorder().capture().isCapturing());

    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(folder));
    writeSettings(folder, serviceSettings(folder));
    FakePlatform successorFakes;
    auto successor = std::make_unique<ServiceProgram>(successorFakes.platform(), folder);
    ASSERT_TRUE(successor->takeFolder());
    old.recorder().finishRecording();
    EXPECT_TRUE(fakes.capture.saved.isEmpty());
    EXPECT_FALSE(QDir(folder).exists(QStringLiteral("W")));
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("gehört jetzt einem anderen Kestrova")).isEmpty());
    // No new capture either while the other one holds the folder.
    old.recorder().capture().startCapture();
    EXPECT_FALSE(fakes.capture.isOpen());

    successor.reset();
    old.recorder().capture().startCapture();
    EXPECT_TRUE(fakes.capture.isRecording());
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("gehört wieder diesem Kestrova")).isEmpty());
    old.shutDown();
}

// Several services on one machine: each records from the device its own settings
// name, and one whose device is missing ends rather than record another circuit.
TEST(ServiceProgramAlone, RecordsFromTheDeviceItsSettingsChooseOrEnds) {
    FakePlatform fakes;
    fakes.audioInput.deviceList = {{QStringLiteral("HDA Intel: ALC (hw:0,0)"), true},
                                   {QStringLiteral("USB Audio CODEC (hw:1,0)"), true}};
    const QTemporaryDir folder;
    writeSettings(folder.path(), serviceSettings(folder.path()));
    QFile choice(QDir(folder.path()).filePath(QStringLiteral("KestrovaDienst.ini")));
    ASSERT_TRUE(choice.open(QIODevice::WriteOnly));
    choice.write("eingang=usb audio\n");
    choice.close();
    {
        ServiceProgram service(fakes.platform(), folder.path());
        ASSERT_TRUE(service.takeFolder());
        ASSERT_TRUE(service.start());
        ASSERT_FALSE(fakes.audioInput.opens.empty());
        EXPECT_EQ(fakes.audioInput.opens.front().position, 1);
        service.shutDown();
    }
    fakes.audioInput.deviceList.pop_back();
    fakes.audioInput.opens.clear();
    ServiceProgram missing(fakes.platform(), folder.path());
    ASSERT_TRUE(missing.takeFolder());
    EXPECT_FALSE(missing.start());
    EXPECT_TRUE(fakes.audioInput.opens.empty());
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("„usb audio“ ist nicht vorhanden")).isEmpty());
    // systemd shows why the start failed.
    EXPECT_TRUE(fakes.serviceManager.notices.last().startsWith("STATUS=Das Eingabegerät „usb audio“"));
}

TEST(SettingsStoreAlone, ADamagedFileGivesTheDefaultsAndHoldsTheDeletionsUntilSaved) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    writeSettings(folder.path(), {QStringLiteral("note"), QStringLiteral("short")});
    SettingsStore store(fakes.platform(), folder.path());
    QList<QStringList> taken;
    QObject::connect(&store, &SettingsStore::linesTaken,
                     [&taken](const QStringList& lines) { taken << lines; });
    store.readSettings();
    ASSERT_EQ(taken.size(), 1);
    EXPECT_EQ(taken.front().size(), 30);
    EXPECT_EQ(store.values.meterSampleRate, 8000); // a damaged file's default
    EXPECT_TRUE(QFile::exists(store.filePath() + QStringLiteral(".bak")));
    EXPECT_FALSE(store.deletionHold().isEmpty());
    EXPECT_FALSE(fakes.events.containing(QStringLiteral("Alte Aufnahmen werden nicht gelöscht")).isEmpty());

    EXPECT_TRUE(store.saveLines(taken.front()));
    EXPECT_TRUE(store.deletionHold().isEmpty());
    EXPECT_FALSE(QFile::exists(store.guessMarkerPath()));
}

// --bestaetigen cannot end what a day count that is no number holds: not offered then.
TEST(SettingsStoreAlone, TheLogAdvisesOnlyWhatEndsTheHold) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    QStringList lines = serviceSettings(folder.path());
    lines[13] = QStringLiteral("abc");
    writeSettings(folder.path(), lines);
    SettingsStore store(fakes.platform(), folder.path());
    store.readSettings();
    const QStringList said = fakes.events.containing(QStringLiteral("Alte Aufnahmen werden nicht gelöscht"));
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral("„Aufnahmen behalten“ ist keine gültige Zahl")));
    EXPECT_TRUE(said[0].contains(QStringLiteral("--setze")));
    EXPECT_FALSE(said[0].contains(QStringLiteral("--bestaetigen")));
}

} // namespace
} // namespace kestrova::test
