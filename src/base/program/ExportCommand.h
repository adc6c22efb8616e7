#pragma once

#include <QDateTime>
#include <QString>
#include <QTextStream>

namespace kestrova {

// What --export was given: the range as typed and checked, the file to write and,
// when chosen, the circuit.
struct ExportRequest {
    QDateTime from;
    QDateTime to;
    QString target;
    QString circuit; // empty: the program folder's circuit
};

// Writes the export of the program folder's documentation folder (its settings file
// says where that is, and which circuit records there) and returns the exit status:
// 0 written and proven, 1 written with findings, 2 nothing written.
int runExportCommand(const QString& programFolder, const ExportRequest& request, const QDateTime& now,
                     QTextStream& out);

} // namespace kestrova
