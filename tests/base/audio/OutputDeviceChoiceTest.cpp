#include "base/audio/OutputDeviceChoice.h"

#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

TEST(OutputDeviceChoice, PicksTheOutputOfTheRecordingCard) {
    const std::vector<OutputCandidate> devices = {
        {"HDA Intel PCH: ALC892 Analog (hw:0,0)", 2},
        {"USB Audio CODEC: - (hw:1,0)", 0},
        {"Card Ten: USB Audio (hw:10,0)", 2},
        {"USB Audio CODEC: - (hw:1,1)", 2},
        {"default", 2},
    };
    EXPECT_EQ(chooseOutputDevice(devices, "USB Audio CODEC: - (hw:1,0)", 4), 3)
        << "input-only entries skipped";
    EXPECT_EQ(chooseOutputDevice(devices, "Card Ten: USB Audio (hw:10,0)", 4), 2) << "hw:1 is not hw:10";
    EXPECT_EQ(chooseOutputDevice(devices, "default", 0), 4);
    EXPECT_EQ(chooseOutputDevice(devices, "Nothing like it", 4), 4);
    EXPECT_EQ(chooseOutputDevice(devices, "", 4), 4);
}

TEST(OutputDeviceChoice, MatchesBracketedCardNamesOfOtherHosts) {
    const std::vector<OutputCandidate> devices = {{"Speakers (Realtek Audio)", 2},
                                                  {"Speakers (USB Audio Device)", 2}};
    EXPECT_EQ(chooseOutputDevice(devices, "Microphone (USB Audio Device)", 0), 1);
}

} // namespace
} // namespace kestrova
