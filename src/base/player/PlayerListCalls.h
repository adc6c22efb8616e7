#pragma once

#include <QString>
#include <functional>

namespace kestrova {

// What the player asks of the recording list, which sits above it; the program
// connects it.
struct PlayerListCalls {
    std::function<QString(int row)> entryPath;
    // The list's left-button press and release on its current entry.
    std::function<void()> pressEntry;
    std::function<void()> releaseEntry;
};

// The rows of the list on the main window, for continuous play; the player's
// controls bind them.
struct PlayerListRows {
    std::function<int()> currentRow;
    std::function<int()> count;
    std::function<void(int row)> selectRow;
};

} // namespace kestrova
