// The store's values in force and the change signal of each line.
#include "base/settings/SettingsStore.h"

#include "support/FakePlatform.h"
#include "support/SettingsLines.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// What a reading or a change made different is signalled once per line, before the
// lines are shown; what stays the same is not.
TEST(SettingsStore, SignalsEachLineWhoseValuesAReadingOrAChangeMadeDifferent) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Kestrova.ini"));
    ASSERT_TRUE(writeSettingsLines(file, newSettingsLines(folder.path(), fakes.clock.now())));
    SettingsStore store(fakes.platform(), folder.path());
    store.readSettings();
    QStringList heard;
    QObject::connect(&store, &SettingsStore::changed, [&heard](const QString& key) { heard << key; });
    QObject::connect(&store, &SettingsStore::linesTaken, [&heard] { heard << QStringLiteral("shown"); });

    ASSERT_TRUE(writeSettingsLines(
        file, newSettingsLines(
                  folder.path(), fakes.clock.now(),
                  {{8, QStringLiteral("71 1")}, {9, QStringLiteral("55")}, {13, QStringLiteral("4")}})));
    store.readSettings();
    // Line 13 is only kept by its field: nothing in force changed with it.
    EXPECT_EQ(heard, QStringList({"pins", "startLevel", "shown"}));
    EXPECT_EQ(store.values.squelchActiveChar, QStringLiteral("1"));

    heard.clear();
    store.change([](SettingsValues& values) { values.fileCount = 12; });
    store.change([](SettingsValues& values) { values.fileCount = 12; });
    EXPECT_EQ(heard, QStringList({"recordingCount"}));
    EXPECT_EQ(store.values.fileCount, 12);
}

} // namespace
} // namespace kestrova::test
