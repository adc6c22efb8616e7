#pragma once

#include "base/audio/CaptureDevice.h"

#include <QStringList>
#include <functional>

namespace kestrova::test {

// A capture that records nothing: it keeps its state as the real device does,
// refusing what does not fit it, and tells what it was set to and saved.
class FakeCaptureDevice final : public CaptureDevice {
public:
    enum class State { Closed, Idle, Recording, Paused };

    CaptureResult open() override {
        if (state != State::Closed) {
            return CaptureResult::WrongState;
        }
        if (openResult == CaptureResult::Ok) {
            state = State::Idle;
            ++captures;
        }
        return openResult;
    }
    CaptureResult setFormat(int bitsPerSample, int samplesPerSecond, int channels) override {
        if (state != State::Idle) {
            return CaptureResult::WrongState;
        }
        if (bitsPerSample != 8 || channels != 1) {
            return CaptureResult::BadFormat;
        }
        sampleRate = samplesPerSecond;
        return CaptureResult::Ok;
    }
    CaptureResult record() override { return change({State::Idle, State::Paused}, State::Recording); }
    CaptureResult pause() override { return change({State::Recording}, State::Paused); }
    CaptureResult resume() override { return change({State::Paused}, State::Recording); }
    CaptureResult stop() override {
        return change({State::Idle, State::Recording, State::Paused}, State::Idle);
    }
    CaptureResult saveAs(const QString& path) override {
        if (state == State::Closed) {
            return CaptureResult::WrongState;
        }
        const CaptureResult result = onSave ? onSave(path) : CaptureResult::Ok;
        if (result == CaptureResult::Ok) {
            saved << path;
        }
        return result;
    }
    CaptureResult close() override {
        return change({State::Idle, State::Recording, State::Paused}, State::Closed);
    }

    bool isOpen() const { return state != State::Closed; }
    bool isRecording() const { return state == State::Recording; }
    bool isPaused() const { return state == State::Paused; }

    State state = State::Closed;
    int sampleRate = 0;
    // How many captures were opened.
    int captures = 0;
    // Where each save went, as the recorder named it.
    QStringList saved;
    // What an open answers while the device is closed.
    CaptureResult openResult = CaptureResult::Ok;
    // What a save does and answers, such as writing the file it saves.
    std::function<CaptureResult(const QString&)> onSave;

private:
    CaptureResult change(std::initializer_list<State> from, State to) {
        for (const State allowed : from) {
            if (state == allowed) {
                state = to;
                return CaptureResult::Ok;
            }
        }
        return CaptureResult::WrongState;
    }
};

} // namespace kestrova::test
