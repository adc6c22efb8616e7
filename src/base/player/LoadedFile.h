#pragma once

#include "base/player/WaveHeader.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace kestrova {

// The sound window's file: the path asked for, the file whose header last passed
// (the one playback opens) and what that header says.
class LoadedFile {
public:
    const QString& current() const { return current_; }
    const QString& loaded() const { return loaded_; }
    const QString& original() const { return original_; }
    const WaveInfo& info() const { return info_; }
    const QString& playSecondsText() const { return playSecondsText_; }

    void setCurrent(const QString& path) { current_ = path; }
    void setLoaded(const QString& path) { loaded_ = path; }
    // The file last made the window's file; normal speed plays it again.
    void markCurrentAsOriginal() { original_ = current_; }
    // A path ending in a separator names a folder, which is no file to load.
    void dropFolder();

    // Reads the header of `path` into the fields; a rejected file leaves the fields
    // it did not reach as they were. Unreadable for anything but a readable plain file.
    WaveHeaderVerdict readHeader(const QString& path);
    // For the second read of one load: as readHeader, but takes the verdict of the
    // read just before when it was of the same unchanged file and would fill the
    // fields alike.
    WaveHeaderVerdict readHeaderAgain(const QString& path);
    // The verdict the header of `path` would get, leaving what is loaded alone.
    static WaveHeaderVerdict verdictOf(const QString& path);
    // Nothing loaded, as before the first file.
    void forget() { *this = LoadedFile(); }
    // The header read last passed: `path` becomes the file playback opens.
    void accept(const QString& path);

private:
    struct Reading {
        QString path;
        qint64 size = 0;
        QDateTime modified;
        WaveHeaderVerdict verdict = WaveHeaderVerdict::Unreadable;
        WaveInfo info;
    };
    bool matchesLastReading(const QString& path) const;

    QString current_;
    QString loaded_;
    QString original_;
    WaveInfo info_;
    QString playSecondsText_;
    // Offered once, to the next readHeaderAgain.
    std::optional<Reading> lastReading_;
};

} // namespace kestrova
