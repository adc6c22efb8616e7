#pragma once

#include "platform/AudioInput.h"
#include "platform/CommandDevice.h"
#include "platform/OutputVolume.h"
#include "platform/SerialLines.h"
#include "platform/SoundPlayer.h"

namespace kestrova {

// A machine without sound card and serial port: nothing can be opened, every
// command is refused, and nothing ever changes outside the program.
class NoAudioInput final : public AudioInput {
public:
    std::vector<InputDeviceInfo> devices() override { return {}; }
    std::unique_ptr<InputStream> open(int /*position*/, int /*sampleRate*/) override { return nullptr; }
};

class NoCommandDevice final : public CommandDevice {
public:
    CommandResult send(const QString& /*command*/) override { return {1, QString()}; }
};

class NoSoundPlayer final : public SoundPlayer {
public:
    bool play(const QString& /*path*/) override { return false; }
    void stop() override {}
};

class NoOutputVolume final : public OutputVolume {
public:
    void setVolume(int /*deviceNumber*/, std::uint32_t /*volume*/) override {}
};

class NoSerialLines final : public SerialLines {
public:
    bool open(const QString& /*portName*/) override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    bool setDtr(bool /*raised*/) override { return false; }
    bool setRts(bool /*raised*/) override { return false; }
    std::optional<ModemStatus> modemStatus() override { return std::nullopt; }
};

} // namespace kestrova
