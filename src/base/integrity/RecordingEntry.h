#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace kestrova {

// A kept recording as the manifests' writer read it for its entry: the copy, its
// size and SHA-256, and its length by the header among the bytes it hashed. Those
// who pass recordings on take it from here instead of reading the copy again.
struct RecordingEntry {
    QString name;       // "F_MM-DD-YYYY_hh-mm-ss.wav"
    QString path;       // the copy entered, absolute; empty when there was none
    qint64 size = 0;    // bytes
    QByteArray sha256;  // hex; empty when the copy could not be read
    double seconds = 0; // by the fixed offsets of the recording's header
};

} // namespace kestrova

Q_DECLARE_METATYPE(kestrova::RecordingEntry)
