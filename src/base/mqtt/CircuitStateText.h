#pragma once

#include <QByteArray>
#include <QString>

namespace kestrova {

// What a circuit's retained status message says, in German for a control room's
// page: "Aufnahme läuft", "Recorder an", "Recorder aus", "außer Betrieb";
// "unbekannt" for a message that is no status. The circuit's standing alarms follow.
QString circuitStateText(const QByteArray& statusPayload);

} // namespace kestrova
