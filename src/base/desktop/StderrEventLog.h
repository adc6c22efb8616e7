#pragma once

#include "base/desktop/EventLog.h"

#include <QDateTime>
#include <cstdio>

namespace kestrova {

// How a line is dressed: the system journal adds time and program itself and
// reads the priority from a "<N>" prefix; a terminal gets the local time.
enum class EventLineStyle { Journal, Terminal };

// One event as one line: breaks inside the text become blanks, so a message of
// several lines cannot look like several events.
QString eventLine(EventLineStyle style, EventPriority priority, const QString& text, const QDateTime& at);

// True when standard error is the system journal's stream (systemd says so in
// JOURNAL_STREAM, naming the device and inode of the stream it connected).
bool standardErrorIsJournal();

// Writes each event to standard error at once, in UTF-8.
class StderrEventLog final : public EventLog {
public:
    explicit StderrEventLog(EventLineStyle style);
    void record(EventPriority priority, const QString& line) override;

private:
    EventLineStyle style_;
};

} // namespace kestrova
