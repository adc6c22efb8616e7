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
#include <tuple>

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

// A playback as the programs make it, on the streaming device with a fake sound card.
class StreamedPlayback {
public:
    auto parts() { return std::tie(sink, transmitter, file, playback, folder); }

private:
    static Platform playingOn(FakePlatform& fakes, StreamingPlayback& device) {
        fakes.realPlayer = &device;
        return fakes.platform();
    }

    FakePlatform fakes;
    FakeAudioSink sink;
    StreamingPlayback device{sink};
    Platform platform = playingOn(fakes, device);
    SettingsStore settings{platform, QString()};
    Transmitter transmitter{platform, settings};
    LoadedFile file;
    Playback playback{platform, transmitter, file};
    QTemporaryDir folder;
};

// The poll wakes five times a second, and twice as often in the last stretch, so
// the end is noticed as soon as with the faster poll throughout.
TEST(PlaybackAlone, PollsFasterOnlyNearTheEnd) {
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

    playback.startPlayback();
    EXPECT_EQ(playback.followTimer().interval(), 200);
    fakes.player.positionMs = 19700;
    playback.tmrplaywave_Timer();
    EXPECT_EQ(playback.followTimer().interval(), 100);
    EXPECT_TRUE(playback.followTimer().isActive());
    playback.halt();
    playback.state().startPos = 0;
    playback.startPlayback();
    EXPECT_EQ(playback.followTimer().interval(), 200);
}

// Whatever the path holds, the device is handed that file: words such as "type" or
// "alias" and quotes are part of a name like any other.
TEST(PlaybackAlone, PlaysAFileWhosePathHoldsQuotesAndCommandWords) {
    StreamedPlayback streamed;
    auto [sink, transmitter, file, playback, folder] = streamed.parts();
    const QString path = folder.filePath(QStringLiteral("Ruf alias \"Nord\"/Kanal type B.wav"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    file.setLoaded(path);

    playback.startPlayback();
    EXPECT_TRUE(playback.state().playing);
    EXPECT_EQ(playback.state().playLength, 2000);
    EXPECT_EQ(sink.rate, 11025);
}

// Heard only at the station, a click or a move of the slider sounds at once; a
// sound meant for the air waits for the transmitter and the receivers.
TEST(PlaybackAlone, BeginsAtOnceUnlessTheSoundIsMeantForTheAir) {
    StreamedPlayback streamed;
    auto [sink, transmitter, file, playback, folder] = streamed.parts();
    const QString path = folder.filePath(QStringLiteral("rec.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    file.setLoaded(path);
    const auto begins = [&sink](int starts) {
        EXPECT_EQ(sink.starts, starts);
        return sink.soundStart;
    };

    playback.startPlayback();
    EXPECT_EQ(begins(1), SoundStart::AtOnce);
    playback.seek(500'000);
    EXPECT_EQ(begins(2), SoundStart::AtOnce) << "a seek while playing starts without a lead-in";
    playback.stop();

    // As Auto-CQ sends: keyed first (here without a port, which keys nothing), then played.
    transmitter.transmitterOn();
    playback.startPlayback();
    EXPECT_EQ(begins(3), SoundStart::AfterLeadIn);
    playback.seek(250'000);
    EXPECT_EQ(begins(4), SoundStart::AfterLeadIn);
    playback.stop();

    playback.startPlayback();
    EXPECT_EQ(begins(5), SoundStart::AtOnce) << "the stop let go of the transmitter";
}

} // namespace
} // namespace kestrova::test
