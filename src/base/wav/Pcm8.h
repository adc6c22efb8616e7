#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrova {

// 8-bit unsigned PCM: 128 is silence.
constexpr std::uint8_t kPcm8Silence = 128;

inline float pcm8ToFloat(std::uint8_t sample) noexcept {
    return (static_cast<float>(sample) - 128.0f) / 128.0f;
}

inline std::uint8_t floatToPcm8(float value) noexcept {
    const float scaled = std::nearbyint(value * 128.0f) + 128.0f;
    return static_cast<std::uint8_t>(std::clamp(scaled, 0.0f, 255.0f));
}

} // namespace kestrova
