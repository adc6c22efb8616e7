#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kestrova {

// A recording's name, "F_MM-DD-YYYY_hh-mm-ss.wav": the radio circuit as decimal
// text, then the start time with leading zeros, month before day. The capture, the
// list, the dated archive, the manifests and the web page all read names here.

// The name of a recording of the circuit started at `start`. The list and the dated
// archive read the fields at fixed positions, which hold only for a one-digit circuit.
QString makeRecordingName(long long circuitNumber, const QDateTime& start);

// The moment in a name as a clock reading without a zone, so the hour the clock
// repeats in autumn is a plain hour here; nullopt for any other name.
std::optional<QDateTime> recordingMoment(const QString& name);

// True for a recording's name of a circuit 0 to 9, the only ones the capture makes
// now and the only ones the fixed positions fit.
bool isOneDigitCircuitName(const QString& name);

// The circuit a name belongs to: its text before the first "_".
QString recordingCircuit(const QString& name);

// The name of the same circuit one second later; nullopt for a name that is not
// a recording's.
std::optional<QString> nameOneSecondLater(const QString& name);

// The moment in a name as a number that orders names as their moments do
// (YYYYMMDDhhmmss); nullopt exactly where recordingMoment gives nullopt. Cheap
// enough to key a sort over many names.
std::optional<qint64> recordingMomentKey(QStringView name);
// The same key for a clock reading: that of the name made from it.
qint64 clockReadingKey(const QDateTime& reading);

// List order: by the moment in the name, year first, so December comes before
// the January after it. Names that are not a recording's come first, by name.
bool isListedBefore(const QString& a, const QString& b);
void sortAsListed(QStringList& names);

} // namespace kestrova
