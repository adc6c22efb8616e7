#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova {

// What the status topic tells of the running program; published whole, retained,
// whenever a part of it changes.
struct ProgramStatus {
    bool recorderOn = false;
    bool recording = false;
    bool keyed = false;
    bool inputDelivering = true;
    QString deletionHold; // why nothing is deleted; empty while deletions may run
    QString version;
    QString webAddress; // empty while no page runs
    QString circuit;
    // The alarms standing: their keys, and their German texts in the same order.
    QStringList alarms;
    QStringList alarmTexts;

    // Compact JSON with "online": true.
    QByteArray toJson() const;
    bool operator==(const ProgramStatus&) const = default;
};

// The status a program leaves behind when it is gone: its last will, and what a
// clean end publishes.
QByteArray offlineStatusJson(const QString& circuit);

} // namespace kestrova
