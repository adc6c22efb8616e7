#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace kestrova {

class Program;
struct SettingsRow;

// The one binding of the settings lines to what shows them: a control of the
// settings form, or the edge of a window. settingsRows() says what a line holds and
// what it may hold; this only says where it is seen and edited.

// The control that shows the line; nullptr for a line that none shows.
QWidget* controlOf(Program& program, const SettingsRow& row);

// Shows the line's text, which reading has taken; a line no control shows is left alone.
void showOnControl(Program& program, const SettingsRow& row, const QString& text);

// The line's text as its control holds it now; nothing for a line no control shows.
// The pins are packed as line 8 has them, and their field shows the packed text.
std::optional<QString> controlText(Program& program, const SettingsRow& row);

} // namespace kestrova
