#pragma once

#include "base/platform/Platform.h"

#include <QObject>
#include <QString>

namespace kestrova {

class HeldSounds;
class SettingsStore;
struct SettingsValues;

// The serial control lines that key the transmitter and report the squelch, the
// push-to-talk button's state, the pin fields' key filters and the output volume.
// It owns the key; the sound window and the settings form show what it signals.
class Transmitter : public QObject {
    Q_OBJECT
public:
    Transmitter(const Platform& platform, SettingsStore& settings);

    // Un-keys and closes the port however the program ends.
    ~Transmitter() override;
    Transmitter(const Transmitter&) = delete;
    Transmitter& operator=(const Transmitter&) = delete;

    void openControlPort();
    // Both do nothing while a transmission holds the transmitter.
    void transmitterOn();
    void transmitterOff();
    bool isHeld() const { return held_; }
    // Whether a sound started now is meant for the air: the line is keyed, or keying
    // was asked for and not let go since (a port that is missing keys nothing, but
    // Auto-CQ still sends).
    bool onAir() const { return keyed_ || keyingAsked_; }
    // "1" while the squelch pin's status line is asserted, "0" while not; empty
    // without a working port, which never matches a squelch level.
    QString readSquelchLine();
    bool hasControlPort() const { return portOpen_; }
    // Lowers both output lines, then closes the port. Safe to call more than once.
    void shutdown();

    // The push-to-talk button pressed when it was let go and let go when it was
    // pressed, the line keyed or let go with it (lbl_TX_Click).
    void togglePushToTalk();
    // The push-to-talk button shown let go, as playback and Auto-CQ end; the line
    // is theirs to release.
    void releaseTxButton();
    bool txButtonPressed() const { return txPressed_; }
    // A character typed as the keying pin: with the control on only '4' and '7'
    // name one; any other is refused with the reason, and the pin and the returned
    // character are 4 (cb_PIN_KeyPress).
    QChar pttPinTyped(QChar typed);
    // A character typed as the squelch pin: with the control on the pin is chosen
    // from the list only; what was typed is refused with the reason, and nothing is
    // returned (cb_PIN_RX_KeyPress).
    QChar squelchPinTyped(QChar typed);

    // The volume slider's position: it runs upside down, 0 is full volume
    // (sli_Lautst_Scroll). Its percentage becomes the settings' volume, which the
    // settings form shows and the list's next click plays at.
    void chooseVolume(int sliderPosition);
    // The output level (0..65535) taken into the settings in force and applied.
    void setOutputLevel(int level);
    // The output device whose volume the slider sets.
    void setOutputDevice(int device);
    void applyOutputVolume();

    QString cqFile;

signals:
    // A held transmission begins: whatever the sound window plays would go on the
    // air beside it, so its player stops here.
    void holdBegins();
    void keyedChanged(bool keyed);
    void txButtonChanged(bool pressed);
    // No port to key: a TX button that keys nothing would only mislead.
    void txButtonUnusable();
    // Why the port is missing, for the status bar.
    void notice(const QString& text);
    void pttPinRefused();
    void squelchPinRefused();

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
    // Logs and signals a change of the keying.
    void noteKeyed(bool keyed);
    void showTxButton(bool pressed);

    const Platform platform_;
    SettingsStore& store_;
    const SettingsValues& settings_;
    int outputDevice_ = 0;
    bool txPressed_ = false;
    // The port as we opened it; the adapter may fail underneath it.
    bool portOpen_ = false;
    // RTS was raised to key; lowered again even if the pin setting moved to DTR since.
    bool rtsKeyed_ = false;
    bool held_ = false;
    bool keyed_ = false;
    bool keyingAsked_ = false;
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
