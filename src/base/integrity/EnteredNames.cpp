#include "base/integrity/EnteredNames.h"

#include "base/integrity/ManifestFile.h"
#include "base/integrity/ManifestLine.h"

#include <QDir>
#include <algorithm>

namespace kestrova {

EnteredNames::EnteredNames(const QString& manifestFolder) {
    const QDir folder(manifestFolder);
    for (const QString& manifest : folder.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        forEachManifestEntry(folder.filePath(manifest), [this](const ManifestEntry& entry) {
            if (entry.kind == ManifestEntry::Kind::Kept) {
                add(QStringView(entry.path).sliced(entry.path.lastIndexOf(QLatin1Char('/')) + 1));
            }
        });
    }
    std::sort(packed_.begin(), packed_.end());
    packed_.squeeze();
}

std::optional<quint64> EnteredNames::packed(QStringView name) {
    static constexpr QStringView kShape = u"c_dd-dd-dddd_dd-dd-dd.wav";
    if (name.size() != kShape.size() || name.front().unicode() > 0xFF) {
        return std::nullopt;
    }
    quint64 key = name.front().unicode();
    for (qsizetype at = 1; at < kShape.size(); ++at) {
        const QChar c = name[at];
        if (kShape[at] == u'd' && c >= u'0' && c <= u'9') {
            key = (key << 4) | static_cast<quint64>(c.unicode() - u'0');
        } else if (kShape[at] == u'd' || c != kShape[at]) {
            return std::nullopt;
        }
    }
    return key;
}

void EnteredNames::add(QStringView name) {
    if (const std::optional<quint64> key = packed(name)) {
        packed_.push_back(*key);
    } else {
        others_.insert(name.toString());
    }
}

bool EnteredNames::contains(const QString& name) const {
    const std::optional<quint64> key = packed(name);
    return key ? std::binary_search(packed_.begin(), packed_.end(), *key) : others_.contains(name);
}

} // namespace kestrova
