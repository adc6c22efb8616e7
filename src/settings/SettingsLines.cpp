#include "settings/SettingsLines.h"

#include "settings/SettingsFile.h"

#include <array>

namespace kestrova {

namespace {

const std::array<SettingsLineDefaults, kSettingsLineCount - 1> kDefaults{{
    {2, "ed_PfadDoku", nullptr, nullptr},
    {3, "ed_FunkName", "tolvo", "tolvo"},
    {4, "cb_Sample", "11025", "8000"},
    {5, "cb_Kanal", "0", "0"},
    {6, "ed_FK", "1", "1"},
    {7, "cb_Com", "2", "2"},
    {8, "cb_PIN, cb_PIN_RX", "46-0", "46-0"},
    {9, "ed_StartPegel", "67", "67"},
    {10, "ed_AufnZeitMin", "20", "20"},
    {11, "ed_AufnZeitMax", "180", "180"},
    {12, "ed_PauseStille", "5", "5"},
    {13, "ed_PauseSignal", "10", "10"},
    {14, "ed_FilesLöschen", "3", "3"},
    {15, "ed_PlayPegel", "50", "50"},
    {16, "chk_StartAuto", "0", "0"},
    {17, "chk_Sichtbar", "1", "1"},
    {18, "chk_Log_Anz", "0", "0"},
    {19, "chk_AufnDoku", "1", "1"},
    {20, "chk_TX", "0", "0"},
    {21, "(number of recordings)", "0", "0"},
    {22, "ed_Interval", "10", "10"},
    {23, "chk_Sichtbar2", "1", "1"},
    {24, "chkFortlaufend", "1", "1"},
    {25, "chkPapagei", "0", "0"},
    {26, "ed_CQ", "6", "6"},
    {27, "frm_DoKu left", "15", "15"},
    {28, "frm_DoKu top", "15", "15"},
    {29, "frm_Einstellungen left", "15", "15"},
    {30, "frm_Einstellungen top", "6375", "5205"},
}};

} // namespace

std::span<const SettingsLineDefaults> settingsLineDefaults() {
    return kDefaults;
}

} // namespace kestrova
