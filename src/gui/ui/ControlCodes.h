#pragma once

namespace kestrova {

// The codes the forms' handlers take for mouse buttons, shift keys and keys, as the
// old control events gave them. Only the gui sees them: it maps a click to what it
// means, and the base objects are told that.
namespace mousebutton {
inline constexpr int Left = 1;
inline constexpr int Right = 2;
inline constexpr int Middle = 4;
} // namespace mousebutton

namespace shiftstate {
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
} // namespace shiftstate

namespace keycode {
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
} // namespace keycode

} // namespace kestrova
