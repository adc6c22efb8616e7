#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrova {

class HelpWindow;
class Program;

// The main window's popup menu, its help entry, the hover frames on the strip tb1,
// the two heights, the level bar's click toggle, closing, and keeping the sound
// window docked below the main window.
class MainMenu : public QObject {
    Q_OBJECT
public:
    // The popup is built from this one text, entries separated by "|".
    static constexpr const char* kMenuText = "INFO|Einstellungen|Soundfenster EIN/AUS|Beenden";
    enum Entry { Info = 0, Settings = 1, SoundWindow = 2, Quit = 3 };

    explicit MainMenu(Program& program, QObject* parent = nullptr);

    // Connects the main window's menu label, strip, bar and close; called once the forms exist.
    void connectControls();

    // lbl_Menue_MouseDown: any button opens the menu and runs the chosen entry.
    void showMainMenu();
    void runMenuEntry(int entry);
    void openHelp();
    // Entry 2: the short window grows and shows the sound window, the tall one shrinks and hides it.
    void toggleSoundWindow();
    // frm_DoKu_Moved.
    void dockSoundWindow();
    void cmd_zur_Click();
    void lbl_Menue_MouseMove();
    // x, y in the strip's coordinates.
    void tb1_MouseMove(int x, int y);
    void Progressbar1_MouseDown();
    void frm_DoKu_Close();

    // The help file: in the program folder, else next to the executable, else in
    // the shared folder of an installation; empty when there is none.
    QString findHelpFile() const;
    // Folders searched after the program folder's "hilfe"; set at construction
    // from the executable's place.
    QStringList helpFallbackFolders;
    // The help's own window; null until "INFO" first shows it.
    HelpWindow* helpWindow() const { return helpWindow_; }

private:
    Program& program_;
    HelpWindow* helpWindow_ = nullptr;
};

} // namespace kestrova
