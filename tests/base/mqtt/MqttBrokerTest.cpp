#include "base/mqtt/CircuitStateText.h"
#include "base/mqtt/MqttClient.h"
#include "base/mqtt/MqttPublisher.h"
#include "base/relay/FiledRecording.h"
#include "mqtt/TestBroker.h"
#include "support/FakeEventLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::ReceivedMessage;
using test::TestBroker;
using test::TestSubscriber;

const QString kCircuit = QStringLiteral("kreis3");
const QString kStatus = QStringLiteral("kestrova/kreis3/status");
const QString kRecordings = QStringLiteral("kestrova/kreis3/aufnahme");

MqttSettings settingsFor(const TestBroker& broker) {
    MqttSettings settings;
    settings.broker = QStringLiteral("127.0.0.1");
    settings.port = broker.port();
    return settings;
}

FiledRecording recording(int second) {
    const QString name = QStringLiteral("3_12-09-2026_01-02-%1.wav").arg(second, 2, 10, QLatin1Char('0'));
    return {.name = name,
            .path = QStringLiteral("/doku/w/") + name,
            .relativePath = QStringLiteral("W/") + name,
            .start = QDateTime(QDate(2026, 12, 9), QTime(1, 2, second)),
            .seconds = 4.5,
            .sha256 = QString(64, QLatin1Char('a')),
            .downloadAddress = {}};
}

QJsonObject jsonOf(const ReceivedMessage& message) {
    return QJsonDocument::fromJson(message.payload).object();
}

QStringList namesOn(const TestSubscriber& subscriber) {
    QStringList names;
    for (const ReceivedMessage& message : subscriber.on(kRecordings)) {
        names << jsonOf(message).value(QStringLiteral("name")).toString();
    }
    return names;
}

bool waitUntilConnected(const MqttPublisher& publisher) {
    return QTest::qWaitFor([&] { return publisher.isConnected(); }, 15000);
}

class MqttBrokerTest : public testing::Test {
protected:
    void SetUp() override {
        if (TestBroker::program().isEmpty()) {
            GTEST_SKIP() << "mosquitto is not installed";
        }
    }
    QTemporaryDir folder;
    test::FakeEventLog events;
};

// A filed recording with its facts and the circuit, the status retained for whoever
// subscribes later, Home Assistant's discovery, the level, and a clean end's offline status.
TEST_F(MqttBrokerTest, PublishesARecordingTheStatusAndAGoodbye) {
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    const TestSubscriber subscriber(broker.port());
    ASSERT_TRUE(subscriber.isReady());
    MqttSettings settings = settingsFor(broker);
    settings.homeAssistant = true;
    MqttPublisher publisher(settings, folder.path(), events);
    ProgramStatus status;
    status.recorderOn = true;
    status.version = QStringLiteral("V:test");
    status.alarms = QStringList{QStringLiteral("eingang")};
    publisher.setStatus(status);
    publisher.start(kCircuit);
    ASSERT_TRUE(waitUntilConnected(publisher));

    publisher.take(recording(3));
    publisher.setLevel(40);
    publisher.setLevel(40);
    publisher.setLevel(41);
    ASSERT_TRUE(subscriber.waitFor(kRecordings, 1));
    const QJsonObject sent = jsonOf(subscriber.on(kRecordings).first());
    EXPECT_EQ(FiledRecording::fromJson(sent), recording(3));
    EXPECT_EQ(sent.value(QStringLiteral("kreis")).toString(), kCircuit);
    ASSERT_TRUE(subscriber.waitFor(QStringLiteral("kestrova/kreis3/pegel"), 2));
    EXPECT_EQ(subscriber.on(QStringLiteral("kestrova/kreis3/pegel")).last().payload, QByteArray("41"));

    const TestSubscriber later(broker.port());
    ASSERT_TRUE(later.waitFor(kStatus, 1));
    const ReceivedMessage retained = later.on(kStatus).first();
    EXPECT_TRUE(retained.retained);
    EXPECT_TRUE(jsonOf(retained).value(QStringLiteral("online")).toBool());
    EXPECT_TRUE(jsonOf(retained).value(QStringLiteral("rekorder_an")).toBool());
    EXPECT_EQ(jsonOf(retained).value(QStringLiteral("version")).toString(), QStringLiteral("V:test"));
    EXPECT_EQ(jsonOf(retained).value(QStringLiteral("alarme")).toArray().first().toString(),
              QStringLiteral("eingang"));
    const QString discovery =
        QStringLiteral("homeassistant/binary_sensor/kestrova_kestrova_kreis3/aufnahme/config");
    ASSERT_TRUE(later.waitFor(discovery, 1));
    EXPECT_EQ(jsonOf(later.on(discovery).first()).value(QStringLiteral("availability_topic")).toString(),
              kStatus);
    const QString alarm = QStringLiteral("homeassistant/binary_sensor/kestrova_kestrova_kreis3/alarm/config");
    ASSERT_TRUE(later.waitFor(alarm, 1));
    EXPECT_EQ(jsonOf(later.on(alarm).first()).value(QStringLiteral("json_attributes_topic")).toString(),
              kStatus);
    EXPECT_TRUE(later.on(kRecordings).isEmpty()); // not retained

    // A control room that only listens: the retained status at once, and each change after.
    MqttConnection listening;
    listening.host = QStringLiteral("127.0.0.1");
    listening.port = broker.port();
    listening.subscriptions = {kStatus};
    MqttClient room(listening);
    QStringList states;
    QObject::connect(
        &room, &MqttClient::messageArrived, &room,
        [&states](const QString&, const QByteArray& payload) { states << circuitStateText(payload); });
    ASSERT_TRUE(room.start().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&states] { return !states.isEmpty(); }, 15000));
    EXPECT_EQ(states.first(), QStringLiteral("Recorder an"));

    publisher.finish();
    ASSERT_TRUE(subscriber.waitFor(kStatus, 2));
    EXPECT_FALSE(jsonOf(subscriber.on(kStatus).last()).value(QStringLiteral("online")).toBool(true));
    EXPECT_TRUE(
        QTest::qWaitFor([&states] { return states.last() == QStringLiteral("außer Betrieb"); }, 15000));
    room.stop();
    EXPECT_EQ(publisher.waiting(), 0);
}

// The broker killed between recordings and started again: all arrive, in order, and
// the trouble is one line when it begins and one when it ends.
TEST_F(MqttBrokerTest, RecordingsWaitForABrokerThatCameBack) {
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttPublisher publisher(settingsFor(broker), folder.path(), events);
    publisher.start(kCircuit);
    ASSERT_TRUE(waitUntilConnected(publisher));
    {
        const TestSubscriber before(broker.port());
        publisher.take(recording(1));
        ASSERT_TRUE(before.waitFor(kRecordings, 1));
    }
    broker.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !publisher.isConnected(); }, 5000));
    publisher.take(recording(2));
    publisher.take(recording(3));
    // libmosquitto tries again after 1 s, then after 4 s more: started between the
    // two, the broker has the subscriber before the publisher is back.
    QTest::qWait(2500);
    ASSERT_TRUE(broker.start());
    const TestSubscriber after(broker.port());
    ASSERT_TRUE(after.waitFor(kRecordings, 2, 30000));
    publisher.take(recording(4));
    ASSERT_TRUE(after.waitFor(kRecordings, 3));
    QStringList names = namesOn(after);
    names.removeDuplicates(); // at least once: a repeat is allowed, a gap or a swap is not
    EXPECT_EQ(names, (QStringList{recording(2).name, recording(3).name, recording(4).name}));
    EXPECT_EQ(events.containing(QStringLiteral("verloren")).size(), 1)
        << events.lines.join('\n').toStdString();
    EXPECT_EQ(events.containing(QStringLiteral("steht wieder")).size(), 1);
}

// Recordings filed while no broker was there wait on the disk through a restart of
// the program and go out, in order, once it connects.
TEST_F(MqttBrokerTest, QueuedRecordingsSurviveARestartOfTheProgram) {
    TestBroker broker;
    {
        MqttPublisher first(settingsFor(broker), folder.path(), events);
        first.start(kCircuit);
        first.take(recording(1));
        first.take(recording(2));
        QTest::qWait(100);
        EXPECT_FALSE(first.isConnected());
    }
    ASSERT_TRUE(broker.start());
    const TestSubscriber subscriber(broker.port());
    MqttPublisher second(settingsFor(broker), folder.path(), events);
    EXPECT_EQ(second.waiting(), 2);
    second.start(kCircuit);
    ASSERT_TRUE(subscriber.waitFor(kRecordings, 2));
    EXPECT_EQ(namesOn(subscriber), (QStringList{recording(1).name, recording(2).name}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.waiting() == 0; }, 5000));
}

// A control room reads a circuit's alarms beside its state, the input's only once.
TEST(CircuitState, NamesTheStandingAlarmsOnce) {
    EXPECT_EQ(circuitStateText(R"({"online":true,"rekorder_an":true,"eingang_liefert":false,)"
                               R"("alarmtexte":["Eingang liefert nichts","Löschen angehalten"]})"),
              QStringLiteral("Recorder an, Eingang liefert nichts, Löschen angehalten"));
}

} // namespace
} // namespace kestrova
