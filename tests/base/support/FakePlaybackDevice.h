#pragma once

#include "base/audio/PlaybackDevice.h"

#include <QString>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

namespace kestrova::test {

// A player that plays nothing: it opens one file at a time as the real device
// does and tells what it played from where; its length, position and whether the
// card still plays are what the test sets, not what it was asked.
class FakePlaybackDevice final : public PlaybackDevice {
public:
    struct Play {
        QString path;
        long long fromMs;
        bool operator==(const Play&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Play& play) {
            return out << play.path.toStdString() << " from " << play.fromMs << " ms";
        }
    };

    PlaybackResult open(const QString& path) override {
        if (!openFile.isEmpty()) {
            return PlaybackResult::AlreadyOpen;
        }
        if (openResult == PlaybackResult::Ok) {
            openFile = path;
        }
        return openResult;
    }
    PlaybackResult seek(long long /*milliseconds*/) override {
        return whileOpen([this] { playing = false; });
    }
    PlaybackResult play(long long fromMilliseconds, SoundStart begins) override {
        if (openFile.isEmpty()) {
            return PlaybackResult::NotOpen;
        }
        if (onPlay) {
            onPlay();
        }
        if (playResult == PlaybackResult::Ok) {
            plays.push_back({openFile, fromMilliseconds});
            soundStart = begins;
            playing = true;
        }
        return playResult;
    }
    PlaybackResult stop() override {
        return whileOpen([this] { playing = false; });
    }
    PlaybackResult close() override {
        return whileOpen([this] {
            openFile.clear();
            playing = false;
        });
    }
    std::optional<PlaybackStatus> status() override {
        if (openFile.isEmpty() || statusFails) {
            return std::nullopt;
        }
        return PlaybackStatus{.lengthMs = lengthMs, .positionMs = positionMs, .playing = playing};
    }

    // The plays since the last call.
    std::vector<Play> takePlays() { return std::exchange(plays, {}); }

    // The file open now; empty while none is.
    QString openFile;
    // Each play that started, in turn.
    std::vector<Play> plays;
    // How the last play that started was asked to begin.
    SoundStart soundStart = SoundStart::AtOnce;
    long long lengthMs = 0;
    long long positionMs = 0;
    // Whether the card plays; a test clears it to have the card give up.
    bool playing = false;
    PlaybackResult openResult = PlaybackResult::Ok;
    PlaybackResult playResult = PlaybackResult::Ok;
    // The device has gone: it answers no status.
    bool statusFails = false;
    // Runs as each play is asked for, before it starts.
    std::function<void()> onPlay;

private:
    PlaybackResult whileOpen(const std::function<void()>& change) {
        if (openFile.isEmpty()) {
            return PlaybackResult::NotOpen;
        }
        change();
        return PlaybackResult::Ok;
    }
};

} // namespace kestrova::test
