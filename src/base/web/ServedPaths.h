#pragma once

#include <QString>
#include <optional>

namespace kestrova {

// The only files the web page hands out: the recordings in the recordings folder
// and in the dated archive folders Fk_* of the documentation folder. A request
// names them by a path relative to the documentation folder ("W/name.wav",
// "Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/name.wav"); "W" or "w" stands for the recordings
// folder whichever way it is spelt on the disk.
class ServedPaths {
public:
    explicit ServedPaths(QString docFolder);

    // The canonical path of the recording; nullopt for anything else: an absolute
    // path, "." or "..", a file that is no WAV, or one whose real place (after
    // links) lies outside the folder its path begins with, or that folder's outside
    // the documentation folder.
    std::optional<QString> recording(const QString& relativePath) const;
    // The same for a folder of the dated archive ("Fk_1/Ja_2012/Mo-08/Tg-17").
    std::optional<QString> archiveFolder(const QString& relativePath) const;
    // The canonical recordings folder, the one the archive files into; nullopt when
    // there is none or it lies outside the documentation folder.
    std::optional<QString> recordingsFolder() const;

private:
    // The canonical path of a folder of the documentation folder, when it lies in it.
    std::optional<QString> rootFolder(const QString& name) const;
    std::optional<QString> resolve(const QString& relativePath) const;

    QString docFolder_;
};

// The first folder of a path as the dated archive names it: "Fk_" and the circuit.
bool isArchiveRootName(const QString& name);

} // namespace kestrova
