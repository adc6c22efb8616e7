#pragma once

#include <QString>

namespace kestrova {

// One circuit of a control room's page as its folder names it. The folder is the
// circuit's program folder, whose settings give its documentation folder, its name
// and its status topic; or, without Kestrova.ini, a documentation folder itself (a
// copy that the command after each recording fills on another machine).
struct ControlRoomCircuit {
    QString folder;      // as given, made absolute
    QString name;        // "Name des Funkkreises", else "Funkkreis N", else the folder's name
    QString number;      // the circuit's digit; empty for a documentation folder itself
    QString docFolder;   // absolute
    QString statusTopic; // its MQTT status; empty for a documentation folder itself
    QString problem;     // German: why its settings cannot be read; empty when they can
};

// Reads the folder's settings, and never writes there.
ControlRoomCircuit readControlRoomCircuit(const QString& folder);

} // namespace kestrova
