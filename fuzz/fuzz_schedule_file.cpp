// The schedule file reader and the comparison of its time with the clock.
#include "base/automation/ScheduleFile.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrova::Schedule schedule = kestrova::parseSchedule(kestrova::fuzz::bytesOf(data, size));
    kestrova::isActionSecond(QStringLiteral("00:00:30"), schedule.actionTime);
    kestrova::isActionSecond(schedule.actionFirstFile, schedule.actionSecondFile);
    return 0;
}
