#pragma once

#include <QtGlobal>

class QProcess;

namespace kestrova {

// A command the program starts may start further programs (a shell running an
// upload tool); a time limit must reach them all, so the command leads a process
// group of its own and the signals go to the whole group.
void startsOwnProcessGroup(QProcess& process);

enum class GroupSignal { Terminate, Kill };
// Sends the signal to the group the process with this id leads; nothing for id 0.
void signalProcessGroup(qint64 leader, GroupSignal signal);

} // namespace kestrova
