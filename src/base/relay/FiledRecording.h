#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

namespace kestrova {

// What is told of a filed recording: the MQTT message and the environment of the
// command run after it carry the same facts.
struct FiledRecording {
    QString name;         // "F_MM-DD-YYYY_hh-mm-ss.wav"
    QString path;         // the kept copy, absolute
    QString relativePath; // from the documentation folder, as the web page names it ("W/…", "Fk_1/…")
    // The moment the recording began, to the second; given with the local clock's
    // offset from UTC of then, which alone tells the two passes of the hour the
    // clock repeats in autumn apart.
    QDateTime start;
    double seconds = 0;
    QString sha256; // hex; empty when the copy could not be read
    // The page's download address, when the page runs.
    QString downloadAddress;

    // The start as ISO 8601 with its offset ("2026-10-25T02:00:15+01:00").
    QString startText() const;
    QJsonObject toJson() const;
    static FiledRecording fromJson(const QJsonObject& json);
    bool operator==(const FiledRecording&) const = default;
};

// The page's address of a recording to download, from its base ("http://host:port").
QString downloadAddressOf(const QString& pageBase, const QString& relativePath);

} // namespace kestrova

Q_DECLARE_METATYPE(kestrova::FiledRecording)
