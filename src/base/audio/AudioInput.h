#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kestrova {

struct InputDeviceInfo {
    QString name;
    bool canRecordMono8Bit11025 = false;
};

// An open input device. Samples are 8-bit unsigned mono at the rate it was opened
// with. It is read on the user-interface thread only.
class InputStream {
public:
    virtual ~InputStream() = default;
    virtual int sampleRate() const = 0;
    // Moves the samples that arrived since the last call into `sink`; returns how many.
    virtual std::size_t read(std::vector<std::uint8_t>& sink) = 0;
    // Samples lost because nobody read them in time (the oldest go first).
    virtual std::uint64_t droppedSamples() const { return 0; }
    // The device gave up (its server went away, it was unplugged): nothing more will come.
    virtual bool failed() const { return false; }
};

class AudioInput {
public:
    virtual ~AudioInput() = default;
    virtual std::vector<InputDeviceInfo> devices() = 0;
    // Opens the device at a list position of devices() (-1: the system's default
    // input); nothing when it cannot be opened.
    virtual std::unique_ptr<InputStream> open(int position, int sampleRate) = 0;
    // How far apart its streams hand their blocks over: whoever reads them more often
    // wakes for nothing.
    virtual int blockSpacingMs() const { return kDefaultBlockSpacingMs; }

    static constexpr int kDefaultBlockSpacingMs = 200;
};

} // namespace kestrova
