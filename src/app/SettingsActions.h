#pragma once

namespace kestrova {

class Program;

// What the settings form does: its choice lists, the input device list and its
// buttons.
class SettingsActions {
public:
    explicit SettingsActions(Program& program);

    void fillSettingsLists();
    void listInputDevices();
    void cmd_SK_Click();
    void cmd_Speichern_Click();
    void cmd_Zurück_Click();
    void chooseDocFolder();

    // The main window's two heights in twips.
    int tallHeight = 0;
    int shortHeight = 0;

private:
    Program& program_;
};

} // namespace kestrova
