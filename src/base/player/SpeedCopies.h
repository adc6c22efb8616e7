#pragma once

#include <QString>

namespace kestrova {

// The faster speeds of the sound window's file: made from the file when a faster
// label is released, streamed into rx.wav.
class SpeedCopies {
public:
    // `path` is the readable WAVE file the copies are made of; empty for none, so
    // the faster labels neither play the file loaded before nor a refused copy.
    void setSource(const QString& path) { source_ = path; }
    // Writes the copy for speed 1 to 3 to `target`; false when there is no source
    // or the copy failed.
    bool write(int speed, const QString& target) const;

private:
    QString source_;
};

} // namespace kestrova
