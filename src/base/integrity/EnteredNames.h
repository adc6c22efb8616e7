#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>
#include <optional>

namespace kestrova {

// The file names of the recordings the manifests of a folder enter as kept, from
// their good lines, for the start's look for recordings without an entry. A
// station's manifests name a hundred thousand recordings and more: the manifests
// are read line by line, never whole, and a name of the shape the recorder gives
// is held as eight bytes.
class EnteredNames {
public:
    explicit EnteredNames(const QString& manifestFolder);

    bool contains(const QString& name) const;

private:
    void add(QStringView name);
    // "1_08-17-2012_14-30-12.wav" exactly, packed: the circuit's character and the
    // fourteen digits; nullopt for a name of any other shape.
    static std::optional<quint64> packed(QStringView name);

    QList<quint64> packed_; // sorted once all are read; grows in place (realloc)
    QSet<QString> others_;
};

} // namespace kestrova
