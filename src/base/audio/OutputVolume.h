#pragma once

#include <QString>
#include <cstdint>

namespace kestrova {

// Output gain shared by the sound window's player and the simple sound playback.
class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    // Volume as the old platform took it: left level in the low 16 bits, right in
    // the high 16 bits, 0xFFFF is full volume.
    virtual void setVolume(int deviceNumber, std::uint32_t volume) = 0;
};

} // namespace kestrova
