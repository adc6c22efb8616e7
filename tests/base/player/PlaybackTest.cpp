// Playback on the "waveplayfile" device alone: the states, the slider and the end it tells.
#include "base/player/Playback.h"

#include "archive/RecordingFiles.h"
#include "base/player/LoadedFile.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"
#include "support/FakePlatform.h"

#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

const QString kLength = QStringLiteral("status waveplayfile length");
const QString kPosition = QStringLiteral("status waveplayfile position");

// The playback stands without a window: whoever shows it follows its signals.
TEST(PlaybackAlone, PlaysFollowsAndEndsWithoutAnyForm) {
    FakePlatform fakes;
    SettingsValues values;
    const Platform platform = fakes.platform();
    Transmitter transmitter(platform, values);
    LoadedFile file;
    Playback playback(platform, transmitter, file);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rec.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    file.setLoaded(path);
    fakes.player.replies[kLength] = {0, QStringLiteral("20000")};

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
    fakes.player.replies[kPosition] = {0, QStringLiteral("5000")};
    playback.tmrplaywave_Timer();
    fakes.player.replies[kPosition] = {0, QStringLiteral("20000")};
    playback.tmrplaywave_Timer();
    EXPECT_EQ(states, QList<PlayState>(
                          {PlayState::Playing, PlayState::Paused, PlayState::Playing, PlayState::Stopped}));
    EXPECT_EQ(sliders, QList<int>({250'000, 1'000'000}));
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(playback.sliderValue(), 1'000'000);
}

} // namespace
} // namespace kestrova::test
