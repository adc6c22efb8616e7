#include "transmit/TimedActions.h"

#include "app/Program.h"

namespace kestrova {

TimedActions::TimedActions(Program& program) : program_(program) {}

void TimedActions::clearSchedule() {
    actionTime.clear();
    actionFirstFile.clear();
    actionSecondFile.clear();
}

// The schedule file is read with the timed actions themselves; until then
// there is no timed transmission.
void TimedActions::loadTimedAction() {}

} // namespace kestrova
