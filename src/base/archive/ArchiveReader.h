#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// A documentation folder as a reader beside its recorder sees it (a control room's
// page, or a copy another machine fills): it only reads, and has no call that writes,
// deletes or enters anything there, so whoever holds one cannot change the archive.
class ArchiveReader {
public:
    // circuit: the digit whose recordings count; empty for every circuit's.
    ArchiveReader(QString docFolder, QString circuit);

    const QString& docFolder() const { return docFolder_; }
    const QString& circuit() const { return circuit_; }
    // German, why the folder cannot be read; empty when it can.
    QString problem() const;
    // The names of the circuit's recordings in the recordings folder: plain files only.
    QStringList recordingNames() const;
    // The length of one of them, as the list reads it.
    double recordingSeconds(const QString& name) const;
    // Where something filed on `day` appears: the documentation folder, the recordings
    // folder and the dated tree's folders down to that day and its hours, as far as
    // they exist (a folder made later is seen in the one above it). A missing
    // documentation folder is looked for in the folder above it.
    QStringList foldersToWatch(const QDate& day) const;

private:
    QStringList datedTrees() const;

    QString docFolder_;
    QString circuit_;
};

} // namespace kestrova
