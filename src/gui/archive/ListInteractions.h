#pragma once

#include <QString>

namespace kestrova {

class Services;
struct Forms;

// What the user does with the recording list: a click plays an entry, the delete
// button and a confirmed double click delete it.
class ListInteractions {
public:
    ListInteractions(Services& program, const Forms& forms);

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();

    void lb_Sounds_MouseDown(int button, int shift, int x, int y);
    void lb_Sounds_MouseUp(int button, int shift, int x, int y);
    void lb_Sounds_DblClick();
    void cmd_File_lö_MouseDown(int button, int shift, int x, int y);
    // A press as the button's mouse watcher reports it: the watcher sees presses
    // before the button does, also while it is disabled, and then deletes nothing.
    void cmd_File_lö_Pressed(int button, int shift, int x, int y);
    void reloadRecordingList();

private:
    // Deletes the selected recording; false for anything that went wrong.
    bool deleteSelectedRecording();
    // Selects the row naming `path`; false when no row does.
    bool selectEntryOf(const QString& path);

    Services& program_;
    const Forms& forms_;
};

} // namespace kestrova
