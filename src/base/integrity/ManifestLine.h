#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kestrova {

// One line of a manifest. A kept recording:
//   path TAB length in bytes TAB SHA-256 TAB previous line's hash TAB this line's hash LF
// A recording the program deleted:
//   path TAB "entfernt" TAB reason TAB previous line's hash TAB this line's hash LF
// The path is relative to the documentation folder ("Fk_1/.../1_08-17-2012_14-30-12.wav",
// "W/1_08-17-2012_14-30-12.wav"); the hashes are lower-case hex. A line's hash covers
// its first four fields, so a line that was changed or cut short no longer matches
// it, and through the previous line's hash the lines form a chain.
struct ManifestEntry {
    enum class Kind { Kept, Removed };
    Kind kind = Kind::Kept;
    QString path;
    qint64 length = 0; // kept: bytes
    QByteArray hash;   // kept: hex SHA-256 of the recording
    QString reason;    // removed: why, in German
};

struct ManifestLine {
    ManifestEntry entry;
    QByteArray previousHash;
    QByteArray lineHash;
};

// Lower-case hex of a SHA-256.
constexpr qsizetype kHexHashLength = 64;

// True for a hash as a line holds it: 64 lower-case hex digits.
bool isHexHash(const QByteArray& text);

// The hash a first line names as its previous one.
QByteArray chainStartHash();

// The full line, LF included; its own hash is the last field.
QByteArray manifestLineText(const ManifestEntry& entry, const QByteArray& previousHash);

// A line without its LF; nullopt when its fields are malformed or its own hash
// does not match them.
std::optional<ManifestLine> parseManifestLine(QByteArrayView text);

} // namespace kestrova
