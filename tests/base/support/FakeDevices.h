#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/OutputVolume.h"
#include "base/audio/SoundFileProbe.h"
#include "base/audio/SoundPlayer.h"
#include "base/serial/SerialLines.h"
#include "support/FakeInputStream.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace kestrova::test {

// The one input device of the program's tests; a test feeds the stream opened last.
class FakeAudioInput final : public AudioInput {
public:
    std::vector<InputDeviceInfo> devices() override { return deviceList; }
    int blockSpacingMs() const override { return blockSpacing; }
    std::unique_ptr<InputStream> open(int position, int sampleRate) override {
        opens.push_back({position, sampleRate});
        if (!canOpen) {
            return nullptr;
        }
        feed = std::make_shared<FakeInputFeed>();
        return std::make_unique<FakeInputStream>(feed, sampleRate);
    }
    void push(const std::vector<std::uint8_t>& samples) {
        if (feed) {
            feed->pending.insert(feed->pending.end(), samples.begin(), samples.end());
        }
    }

    std::vector<InputDeviceInfo> deviceList{{QStringLiteral("Radio In"), true}};
    bool canOpen = true;
    int blockSpacing = kDefaultBlockSpacingMs;
    struct Open {
        int position;
        int sampleRate;
    };
    std::vector<Open> opens;
    std::shared_ptr<FakeInputFeed> feed;
};

class FakeSoundPlayer final : public SoundPlayer {
public:
    bool play(const QString& path) override {
        played << path;
        if (whilePlaying) {
            whilePlaying(path);
        }
        return playable;
    }
    // Each file in turn; the pause between them is noted, not waited for.
    bool playInTurn(const QStringList& paths, int pauseMs) override {
        pausesBetween.push_back(pauseMs);
        bool any = false;
        for (const QString& path : paths) {
            any = (probeSoundFile(path).playable && play(path)) || any;
        }
        return any;
    }
    void stop() override { ++stops; }
    QStringList played;
    std::vector<int> pausesBetween;
    bool playable = true;
    int stops = 0;
    // Runs while a sound plays, as events would.
    std::function<void(const QString&)> whilePlaying;
};

class FakeOutputVolume final : public OutputVolume {
public:
    void setVolume(int deviceNumber, std::uint32_t volume) override {
        volumes.push_back({deviceNumber, volume});
    }
    struct Volume {
        int device;
        std::uint32_t value;
    };
    std::vector<Volume> volumes;
};

// Records every line change in order, so a test can prove that nothing keyed
// the transmitter by mistake.
class FakeSerialLines final : public SerialLines {
public:
    bool open(const QString& portName) override {
        openedNames << portName;
        open_ = openable;
        return open_;
    }
    void close() override {
        events << QStringLiteral("close");
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    bool setDtr(bool raised) override { return record(QStringLiteral("DTR"), raised, dtr); }
    bool setRts(bool raised) override { return record(QStringLiteral("RTS"), raised, rts); }
    std::optional<ModemStatus> modemStatus() override {
        if (!open_ || failed) {
            return std::nullopt;
        }
        return status;
    }
    SerialFailure failure() const override {
        if (failed) {
            return SerialFailure::Failed;
        }
        return open_ ? SerialFailure::None : openFailure;
    }

    bool openable = true;
    // What a refused open gives as its reason.
    SerialFailure openFailure = SerialFailure::Missing;
    bool failed = false;
    bool dtr = false;
    bool rts = false;
    ModemStatus status;
    QStringList openedNames;
    QStringList events;

private:
    bool record(const QString& line, bool raised, bool& state) {
        if (!open_ || failed) {
            return false;
        }
        state = raised;
        events << line + (raised ? QStringLiteral("+") : QStringLiteral("-"));
        return true;
    }
    bool open_ = false;
};

} // namespace kestrova::test
