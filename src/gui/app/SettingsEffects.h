#pragma once

namespace kestrova {

class Program;
struct SettingsValues;

// What the values just read change at once beyond the settings form: captions,
// bars and sliders of the other windows, the output volume, the timers and the
// parrot's controls. Reading has checked that each holder can take its value.
void applySettingsEffects(Program& program, const SettingsValues& values);

} // namespace kestrova
