#pragma once

#include <QString>

namespace kestrova {

// How much an event matters, in the order of the system log's priorities.
enum class EventPriority { Error, Warning, Notice, Info };

// What the program did, one line per event, for an operator who reads it later
// (the recorder switched on, a recording kept, the transmitter keyed). The
// program without a desktop writes it to standard error; the windowed program
// keeps quiet.
class EventLog {
public:
    virtual ~EventLog() = default;
    // The line in the program's own words, without a time (the log adds it).
    virtual void record(EventPriority priority, const QString& line) = 0;
};

// The log of the windowed program: its terminal stays quiet.
class SilentEventLog final : public EventLog {
public:
    void record(EventPriority /*priority*/, const QString& /*line*/) override {}
};

} // namespace kestrova
