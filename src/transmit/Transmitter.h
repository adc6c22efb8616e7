#pragma once

#include <QString>
#include <functional>

namespace kestrova {

class HeldSounds;
class Services;

// The serial control lines that key the transmitter and report the squelch,
// the push-to-talk button, the pin fields' key filters and the output volume.
class Transmitter {
public:
    explicit Transmitter(Services& program);

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();
    // Un-keys and closes the port however the program ends.
    ~Transmitter();
    Transmitter(const Transmitter&) = delete;
    Transmitter& operator=(const Transmitter&) = delete;

    void openControlPort();
    // Both do nothing while a transmission holds the transmitter.
    void transmitterOn();
    void transmitterOff();
    bool isHeld() const { return held_; }
    // "1" while the squelch pin's status line is asserted, "0" while not; empty
    // without a working port, which never matches a squelch level.
    QString readSquelchLine();
    bool hasControlPort() const { return portOpen_; }
    // Lowers both output lines, then closes the port. Safe to call more than once.
    void shutdown();

    void lbl_TX_Click();
    void cb_PIN_KeyPress(int& keyAscii);
    void cb_PIN_RX_KeyPress(int& keyAscii);

    void sli_Lautst_Scroll();
    // User moves only: applying the stored setting moves the slider too.
    void sli_Lautst_Action(int action);
    void applyOutputVolume();

    QString cqFile;
    // Given by the program: the sound window's playback, which sits above the key.
    std::function<void()> stopPlayback;

private:
    friend class TransmitterHold;
    void keyLine();
    void unkeyLine();
    bool controlEnabled() const;
    bool keyingOnDtr() const;
    void applyRestState();
    void releaseAndClose();
    void reportNoPort();
    void portFailed();
    // Logs a change of the keying.
    void noteKeyed(bool keyed);

    Services& program_;
    // The port as we opened it; the adapter may fail underneath it.
    bool portOpen_ = false;
    // RTS was raised to key; lowered again even if the pin setting moved to DTR since.
    bool rtsKeyed_ = false;
    bool held_ = false;
    bool keyed_ = false;
};

// An exclusive hold on the transmitter for one transmission: while it lasts only
// its holder keys, un-keys and plays sound. Nobody else's transmitterOn/Off, TX
// button or simple sound playback changes the line or cuts the sound, and the
// sound window stays quiet. The hold always ends un-keyed.
class TransmitterHold {
public:
    TransmitterHold(Transmitter& transmitter, HeldSounds& sounds);
    ~TransmitterHold();
    TransmitterHold(const TransmitterHold&) = delete;
    TransmitterHold& operator=(const TransmitterHold&) = delete;

    void key();
    // Plays the files in turn with the pause between them and returns at the end of
    // the last; false when none could be played.
    bool play(const QStringList& paths, int pauseMs);

private:
    Transmitter& transmitter_;
    HeldSounds& sounds_;
};

} // namespace kestrova
