#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova {

// The dated archive: a tree per circuit below the documentation folder, a folder per
// year, month, day and hour, "D/Fk_F/Ja_YYYY/Mo-MM/Tg-DD/hh-HH", each recording in
// the hour its name gives.

// The hour's folder of a recording, taken from the fixed character positions of its
// name; joined like the recordings folder, so both sit below the same D.
QString datedArchiveFolder(const QString& docFolder, const QString& name);

// True for the name of a circuit's tree: "Fk_" and the circuit.
bool isDatedTreeName(const QString& name);
// The file name pattern that finds the circuits' trees in the documentation folder.
QString datedTreePattern();

// One day's folder of a circuit's tree, by the names of the folders on the way.
struct DatedDay {
    QString tree;  // "Fk_1"
    QString year;  // "Ja_2012"
    QString month; // "Mo-08"
    QString day;   // "Tg-17"

    QString circuit() const;      // "1"
    QString date() const;         // "17.08.2012"
    QString relativePath() const; // "Fk_1/Ja_2012/Mo-08/Tg-17", from the documentation folder
};

// The days of all circuits' trees, newest first whatever the circuit. Only folders
// the program made count: a link in the tree is not followed.
QList<DatedDay> datedDays(const QString& docFolder);

// The recordings of a day's folder, as paths from it ("hh-14/1_08-17-2012_14-30-12.wav"),
// by hour and name; plain files only, no links.
QStringList recordingsOfDay(const QString& dayFolder);

} // namespace kestrova
