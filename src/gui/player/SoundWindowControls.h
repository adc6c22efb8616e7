#pragma once

namespace kestrova {

class Services;
struct Forms;
class Player;
class SoundWindowView;

// The player's controls on the sound window and the main window: connected to
// their handlers in one place, which hand the user's moves to the player's parts,
// and the handlers of the waveform's click and the key field.
class SoundWindowControls {
public:
    SoundWindowControls(Services& program, const Forms& forms, Player& player, SoundWindowView& view);

    // Connects the controls; called once the forms exist.
    void connectControls();

    // Only the user's moves seek; the timer setting the value must not.
    void slider_Action(int action);
    void frx1_MouseDown(int button, int shift, int x, int y);
    // The file dialog opened from the main window's "Sounds" label.
    void lbl_LoadWave_MouseDown(int button, int shift, int x, int y);
    // The dialog starts in the documentation folder as the settings form shows it.
    void chooseFileToPlay();
    void lbl_LoadWave_MouseMove(int button, int shift, int x, int y);
    void ed1_KeyDown(int keyCode, int shift);
    void ed1_KeyUp(int keyCode, int shift);
    void cmd_Os_Zurück_Click();

    // Width of frx1 as far as seeking by a click is concerned.
    static constexpr int kSeekWidth = 290;

private:
    void connectSlider();
    // The stop button's press, release and click, in the order the handlers expect.
    void connectStopButton();
    void connectKeyField();
    void connectSpeedLabels();
    void connectLoadLabel();
    // The main window's recording switch, which the stop looks at.
    void followRecorderSwitch();
    // The settings form's continuous play, which the end of a playback looks at.
    void followContinuousSwitch();
    // The rows of the main window's list, for continuous play.
    void bindList();

    Services& program_;
    const Forms& forms_;
    Player& player_;
    SoundWindowView& view_;
};

} // namespace kestrova
