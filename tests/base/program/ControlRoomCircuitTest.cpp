#include "base/program/ControlRoomCircuit.h"

#include "support/SettingsLines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// What a control room takes from a circuit's folder, which it must not change.
TEST(ControlRoomCircuitTest, TakesTheCircuitsFoldersNameAndTopicAndWritesNothing) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("kreis2"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(test::writeSettingsLines(
        QDir(folder).filePath(QStringLiteral("Kestrova.ini")),
        test::newSettingsLines(
            folder, QDateTime::currentDateTime(),
            {{2, QStringLiteral("doku")}, {3, QStringLiteral("Kreis Süd")}, {6, QStringLiteral("2")}})));
    QFile mqtt(QDir(folder).filePath(QStringLiteral("KestrovaMqtt.ini")));
    ASSERT_TRUE(mqtt.open(QIODevice::WriteOnly) && mqtt.write("broker=leitstelle.local\npraefix=funk\n") > 0);
    mqtt.close();
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    const ControlRoomCircuit circuit = readControlRoomCircuit(folder);
    EXPECT_EQ(circuit.name, QStringLiteral("Kreis Süd"));
    EXPECT_EQ(circuit.number, QStringLiteral("2"));
    // Relative to the circuit's program folder, where its service runs.
    EXPECT_EQ(circuit.docFolder, QDir(folder).filePath(QStringLiteral("doku")));
    EXPECT_EQ(circuit.statusTopic, QStringLiteral("funk/kreis2/status"));
    EXPECT_TRUE(circuit.problem.isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);

    // A copy from another machine: the folder holds the recordings itself.
    const ControlRoomCircuit copy = readControlRoomCircuit(dir.filePath(QStringLiteral("kopie")));
    EXPECT_EQ(copy.name, QStringLiteral("kopie"));
    EXPECT_TRUE(copy.statusTopic.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("kopie"))));

    ASSERT_TRUE(test::writeSettingsLines(QDir(folder).filePath(QStringLiteral("Kestrova.ini")),
                                         {QStringLiteral("kurz")}));
    EXPECT_TRUE(readControlRoomCircuit(folder).problem.contains(QStringLiteral("lassen sich nicht lesen")));
}

} // namespace
} // namespace kestrova
