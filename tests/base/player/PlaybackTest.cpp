// Playback on the player device alone: the states, the slider and the end it tells.
#include "base/player/Playback.h"

#include "archive/RecordingFiles.h"
#include "base/audio/StreamingPlayback.h"
#include "base/player/LoadedFile.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/Transmitter.h"
#include "support/FakeAudioSink.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// The playback stands without a window: whoever shows it follows its signals.
TEST(PlaybackAlone, PlaysFollowsAndEndsWithoutAnyForm) {
    FakePlatform fakes;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, QString());
    Transmitter transmitter(platform, settings);
    LoadedFile file;
    Playback playback(platform, transmitter, file);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rec.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    file.setLoaded(path);
    fakes.player.lengthMs = 20000;

    QList<PlayState> states;
    QList<int> sliders;
    int ends = 0;
    QObject::connect(&playback, &Playback::playStateChanged, [&states](PlayState state) { states << state; });
    QObject::connect(&playback, &Playback::sliderChanged, [&sliders](int value) { sliders << value; });
    QObject::connect(&playback, &Playback::endReached, [&ends] { ++ends; });

    playback.startPlayback();
    EXPECT_EQ(file.current(), path);
    playback.pause();
    playback.resume();
    fakes.player.positionMs = 5000;
    playback.tmrplaywave_Timer();
    fakes.player.positionMs = 20000;
    playback.tmrplaywave_Timer();
    EXPECT_EQ(states, QList<PlayState>(
                          {PlayState::Playing, PlayState::Paused, PlayState::Playing, PlayState::Stopped}));
    EXPECT_EQ(sliders, QList<int>({250'000, 1'000'000}));
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(playback.sliderValue(), 1'000'000);
}

// Whatever the path holds, the device is handed that file: words such as "type" or
// "alias" and quotes are part of a name like any other.
TEST(PlaybackAlone, PlaysAFileWhosePathHoldsQuotesAndCommandWords) {
    FakePlatform fakes;
    FakeAudioSink sink;
    StreamingPlayback device(sink);
    fakes.realPlayer = &device;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, QString());
    Transmitter transmitter(platform, settings);
    LoadedFile file;
    Playback playback(platform, transmitter, file);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Ruf alias \"Nord\"/Kanal type B.wav"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    file.setLoaded(path);

    playback.startPlayback();
    EXPECT_TRUE(playback.state().playing);
    EXPECT_EQ(playback.state().playLength, 2000);
    EXPECT_EQ(sink.rate, 11025);
}

} // namespace
} // namespace kestrova::test
