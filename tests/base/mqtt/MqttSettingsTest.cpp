#include "base/mqtt/MqttSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

MqttSettings readFrom(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = mqttSettingsPath(dir.path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return readMqttSettings(path);
}

// Each bad value is named in one line and its default taken; without a file, or
// with a broker that cannot be one, MQTT stays off.
TEST(MqttSettingsTest, BadValuesAreNamedAndTheirDefaultsTaken) {
    QTemporaryDir dir;
    const MqttSettings none = readMqttSettings(mqttSettingsPath(dir.path()));
    EXPECT_FALSE(none.enabled());
    EXPECT_TRUE(none.problems.isEmpty());

    const MqttSettings good = readFrom(dir, "broker = leitstelle.example\ntls=JA\nbenutzer=k\npasswort=a=b\n"
                                            "kreis=Nord\nhomeassistant=ja\nwarteschlange=50\n");
    EXPECT_TRUE(good.enabled());
    EXPECT_EQ(good.port, 8883);
    EXPECT_EQ(good.password, QStringLiteral("a=b"));
    EXPECT_EQ(good.circuitFor(3), QStringLiteral("Nord"));
    EXPECT_TRUE(good.homeAssistant);
    EXPECT_EQ(good.queueBound, 50);
    EXPECT_TRUE(good.problems.isEmpty()) << good.problems.join('\n').toStdString();

    const MqttSettings bad = readFrom(dir, "broker=10.0.0.5\nport=99999\ntls=vielleicht\npraefix=a/#\n"
                                           "kreis=x/y\nwarteschlange=0\nca_datei=/nonexistent/ca.pem\n");
    EXPECT_TRUE(bad.enabled());
    EXPECT_EQ(bad.port, 1883);
    EXPECT_FALSE(bad.tls);
    EXPECT_EQ(bad.prefix, QStringLiteral("kestrova"));
    EXPECT_EQ(bad.circuitFor(3), QStringLiteral("kreis3"));
    EXPECT_EQ(bad.queueBound, 10000);
    EXPECT_TRUE(bad.caFile.isEmpty());
    ASSERT_EQ(bad.problems.size(), 6) << bad.problems.join('\n').toStdString();
    for (const char* key :
         {"\"port\"", "\"tls\"", "\"praefix\"", "\"kreis\"", "\"warteschlange\"", "\"ca_datei\""}) {
        EXPECT_EQ(bad.problems.filter(QString::fromLatin1(key)).size(), 1) << key;
    }

    const MqttSettings off = readFrom(dir, "broker=leit stelle\n");
    EXPECT_FALSE(off.enabled());
    EXPECT_EQ(off.problems.filter(QStringLiteral("MQTT bleibt aus")).size(), 1);
}

TEST(MqttSettingsTest, APasswordOthersCanReadIsReported) {
    QTemporaryDir dir;
    const QString path = mqttSettingsPath(dir.path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("broker=127.0.0.1\nbenutzer=k\npasswort=geheim\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    const MqttSettings settings = readMqttSettings(path);
    ASSERT_EQ(settings.problems.size(), 1);
    EXPECT_TRUE(settings.problems.first().contains(QStringLiteral("für andere lesbar")));
}

} // namespace
} // namespace kestrova
