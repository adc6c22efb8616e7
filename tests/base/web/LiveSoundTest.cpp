#include "base/web/LiveSound.h"

#include <gtest/gtest.h>
#include <microhttpd.h>
#include <vector>

namespace kestrova {
namespace {

constexpr int kRate = 11025;

// What a listener's connection would send now; only called while something waits,
// as the server reads a stream that rests otherwise.
QByteArray takeWaiting(EventStream& stream) {
    std::vector<char> buffer(64 * 1024);
    const qint64 count = stream.read(buffer.data(), buffer.size());
    return count > 0 ? QByteArray(buffer.data(), count) : QByteArray();
}

TEST(LiveSoundTest, AListenerThatStopsReadingIsDroppedWhileTheOthersHearEverything) {
    LiveSound sound(10);
    EXPECT_EQ(sound.listen().refusal, LiveSound::Refusal::NoInput);
    const std::vector<std::uint8_t> block(kRate / 5, 200); // the input's 200 ms
    sound.feed(block, kRate);
    const LiveSound::Joining reader = sound.listen();
    const LiveSound::Joining stalled = sound.listen();
    ASSERT_TRUE(reader.stream && stalled.stream);
    EXPECT_EQ(reader.sampleRate, kRate);

    // A minute of input, fed without a wait although one listener never reads.
    for (int i = 0; i < 300; ++i) {
        sound.feed(block, kRate);
        ASSERT_EQ(takeWaiting(*reader.stream).size(), static_cast<qsizetype>(block.size())) << "block " << i;
    }
    EXPECT_EQ(sound.listeners(), 1U);
    char byte = 0;
    EXPECT_EQ(stalled.stream->read(&byte, 1), MHD_CONTENT_READER_END_WITH_ERROR);
}

TEST(LiveSoundTest, PlacesAreBoundedAndFreedAndTheListenersEndWithTheInput) {
    LiveSound sound(2);
    const std::vector<std::uint8_t> block(100, 128);
    sound.feed(block, kRate);
    const LiveSound::Joining first = sound.listen();
    const LiveSound::Joining second = sound.listen();
    EXPECT_EQ(sound.listen().refusal, LiveSound::Refusal::Full);
    first.stream->markGone(); // its client went away
    EXPECT_TRUE(sound.listen().stream);

    // A new rate ends the listeners: their pages join again and learn it.
    sound.feed(block, 8000);
    char byte = 0;
    EXPECT_EQ(second.stream->read(&byte, 1), MHD_CONTENT_READER_END_OF_STREAM);
    EXPECT_EQ(sound.listen().sampleRate, 8000);
    sound.inputStopped();
    EXPECT_EQ(sound.listeners(), 0U);
    EXPECT_EQ(sound.listen().refusal, LiveSound::Refusal::NoInput);
}

} // namespace
} // namespace kestrova
