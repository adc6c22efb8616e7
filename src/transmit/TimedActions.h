#pragma once

#include <QString>

namespace kestrova {

class Program;

// The nightly list refresh and the hourly transmission from the schedule file.
class TimedActions {
public:
    explicit TimedActions(Program& program);

    void clearSchedule();
    void loadTimedAction();

    QString actionTime;
    QString actionFirstFile;
    QString actionSecondFile;

private:
    Program& program_;
};

} // namespace kestrova
