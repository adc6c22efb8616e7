#pragma once

namespace kestrova {

class InfoForm;
class MainForm;
class SettingsForm;
class SoundForm;

// The program's four windows, null until its start has made them. The program owns
// them and hands them to the bindings that show its subsystems on them.
struct Forms {
    InfoForm* frm_Info = nullptr;
    SettingsForm* frm_Einstellungen = nullptr;
    SoundForm* frm_Oszi = nullptr;
    MainForm* frm_DoKu = nullptr;
};

} // namespace kestrova
