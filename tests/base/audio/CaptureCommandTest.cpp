#include "base/audio/CaptureCommand.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using Verb = CaptureCommand::Verb;

TEST(CaptureCommand, RecognisesEveryCommandInAnyCase) {
    EXPECT_EQ(parseCaptureCommand("open new type waveaudio alias capture").verb, Verb::Open);
    EXPECT_EQ(parseCaptureCommand("OPEN New Type WaveAudio Alias Capture").verb, Verb::Open);
    EXPECT_EQ(parseCaptureCommand("record capture").verb, Verb::Record);
    EXPECT_EQ(parseCaptureCommand("Pause Capture").verb, Verb::Pause);
    EXPECT_EQ(parseCaptureCommand("resume capture").verb, Verb::Resume);
    EXPECT_EQ(parseCaptureCommand("STOP CAPTURE").verb, Verb::Stop);
    EXPECT_EQ(parseCaptureCommand("close capture").verb, Verb::Close);
}

TEST(CaptureCommand, SaveKeepsTheNameAsWritten) {
    EXPECT_EQ(parseCaptureCommand("save capture Call_0815.WAV").fileName, "Call_0815.WAV");
    EXPECT_EQ(parseCaptureCommand("SAVE CAPTURE /tmp/a b.wav").fileName, "/tmp/a b.wav");
    EXPECT_EQ(parseCaptureCommand("save capture \"with blank.wav\"").fileName, "with blank.wav");
    EXPECT_EQ(parseCaptureCommand("save capture ").verb, Verb::Invalid);
}

TEST(CaptureCommand, RejectsOtherAliasesAndMalformedText) {
    EXPECT_EQ(parseCaptureCommand("record player").verb, Verb::Invalid);
    EXPECT_EQ(parseCaptureCommand("record capture now").verb, Verb::Invalid);
    EXPECT_EQ(parseCaptureCommand("open new type waveaudio alias other").verb, Verb::Invalid);
    EXPECT_EQ(parseCaptureCommand("set capture bitspersample 8").verb, Verb::Invalid);
    EXPECT_EQ(parseCaptureCommand("").verb, Verb::Invalid);
}

} // namespace
} // namespace kestrova
