#include "base/wav/Resampler.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <span>
#include <vector>

namespace kestrova {
namespace {

TEST(Resampler, GivesTheWholeDurationAtTheNewRateIncludingTheTail) {
    // A faster replay rate the card does not take is converted to 48000 Hz, both channels alike.
    const int from = 14332;
    const int to = 48000;
    Resampler resampler(from, to, 2);
    ASSERT_TRUE(resampler.ok());
    std::vector<float> in(2 * from);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i / 2) / from));
    }
    std::vector<float> out(2 * 1024);
    std::size_t used = 0;
    std::size_t made = 0;
    double energy = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        const bool last = 2 * used == in.size();
        const auto step = resampler.process(std::span(in).subspan(2 * used), out, last);
        used += step.used;
        made += step.made;
        energy = std::inner_product(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(2 * step.made),
                                    out.begin(), energy);
        if (last && step.made == 0) {
            break;
        }
    }
    EXPECT_EQ(2 * used, in.size());
    EXPECT_NEAR(static_cast<double>(made), to, 2.0);
    EXPECT_NEAR(energy / static_cast<double>(2 * made), 0.5, 0.02); // a full-scale sine survives
}

TEST(Resampler, RefusesImpossibleRatios) {
    EXPECT_FALSE(Resampler(1, 48000).ok());
}

} // namespace
} // namespace kestrova
