#include "base/integrity/ManifestLine.h"

#include <QCryptographicHash>
#include <QList>

namespace kestrova {

namespace {

constexpr char kSeparator = '\t';
constexpr qsizetype kFieldCount = 5;
const QByteArray kRemovedMark = QByteArrayLiteral("entfernt");

QByteArray hexSha256(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Fields that could carry a separator or a line break would break the layout.
bool isPlainField(const QByteArray& field) {
    return !field.isEmpty() && !field.contains(kSeparator) && !field.contains('\n') && !field.contains('\r');
}

QByteArray hashedPart(const ManifestEntry& entry, const QByteArray& previousHash) {
    const bool kept = entry.kind == ManifestEntry::Kind::Kept;
    return entry.path.toUtf8() + kSeparator + (kept ? QByteArray::number(entry.length) : kRemovedMark) +
           kSeparator + (kept ? entry.hash : entry.reason.toUtf8()) + kSeparator + previousHash;
}

std::optional<ManifestEntry> entryOf(const QList<QByteArray>& fields) {
    ManifestEntry entry;
    entry.path = QString::fromUtf8(fields.at(0));
    if (fields.at(1) == kRemovedMark) {
        entry.kind = ManifestEntry::Kind::Removed;
        entry.reason = QString::fromUtf8(fields.at(2));
        return entry;
    }
    bool isNumber = false;
    entry.length = fields.at(1).toLongLong(&isNumber);
    entry.hash = fields.at(2);
    if (!isNumber || entry.length < 0 || !isHexHash(entry.hash)) {
        return std::nullopt;
    }
    return entry;
}

} // namespace

bool isHexHash(const QByteArray& text) {
    if (text.size() != kHexHashLength) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

QByteArray chainStartHash() {
    return QByteArray(kHexHashLength, '0');
}

QByteArray manifestLineText(const ManifestEntry& entry, const QByteArray& previousHash) {
    const QByteArray hashed = hashedPart(entry, previousHash);
    return hashed + kSeparator + hexSha256(hashed) + '\n';
}

std::optional<ManifestLine> parseManifestLine(QByteArrayView text) {
    const QList<QByteArray> fields = text.toByteArray().split(kSeparator);
    if (fields.size() != kFieldCount) {
        return std::nullopt;
    }
    for (const QByteArray& field : fields) {
        if (!isPlainField(field)) {
            return std::nullopt;
        }
    }
    const std::optional<ManifestEntry> entry = entryOf(fields);
    if (!entry || !isHexHash(fields.at(3)) || !isHexHash(fields.at(4))) {
        return std::nullopt;
    }
    const QByteArray hashed = text.first(text.size() - kHexHashLength - 1).toByteArray();
    if (hexSha256(hashed) != fields.at(4)) {
        return std::nullopt;
    }
    return ManifestLine{*entry, fields.at(3), fields.at(4)};
}

} // namespace kestrova
