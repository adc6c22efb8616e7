#pragma once

#include <QString>
#include <optional>

namespace kestrova {

class Program;

// What the settings form does: its choice lists, the input device list and its
// buttons.
class SettingsActions {
public:
    explicit SettingsActions(Program& program);

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();

    void fillSettingsLists();
    void listInputDevices();
    void cmd_SK_Click();
    // Save and read again, unless a number field holds what the settings cannot
    // take: then nothing is saved and the click says which field and why.
    void cmd_Speichern_Click();
    void cmd_Speichern_MouseUp();
    void cmd_Zurück_Click();
    void chooseDocFolder();

private:
    // The form edits its own controls until "Speichern"; the volume field acts at
    // once, saved or not: what is typed there is the volume the list's next click
    // plays at, and the field shows the volume the slider sets.
    void connectVolumeField();
    std::optional<QString> refusal() const;
    void trySave();
    // False when the file could not be written (the user has been told).
    bool save();

    Program& program_;
    // Set by a failed save until the press that made it has been handled.
    bool saveFailed_ = false;
};

} // namespace kestrova
