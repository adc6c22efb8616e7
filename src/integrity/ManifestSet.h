#pragma once

#include "integrity/ManifestFile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace kestrova {

// What all manifests of a documentation folder say about each recording copy,
// later lines over earlier ones.
class ManifestSet {
public:
    struct Copy {
        ManifestEntry kept;
        QString manifest; // file name of the manifest that entered it
        int line = 0;
        bool removed = false;
        QString removalReason;
    };
    struct Chain {
        QString manifest;
        ManifestReading reading;
    };

    // Manifest file names in the order their lines were written: by day, then circuit.
    static QStringList inWritingOrder(QStringList fileNames);
    // Call in writing order.
    void add(const QString& manifest, const ManifestReading& reading);

    const QList<Chain>& chains() const { return chains_; }
    const QHash<QString, Copy>& copies() const { return copies_; }
    // The entry for a path relative to the documentation folder; null when none.
    const Copy* find(const QString& path) const;
    // The entered copy of a recording by its file name: what a copy in D/w of the
    // same name must match. Null when none.
    const Copy* findByName(const QString& name) const;
    // Why the program deleted the copy at path; nullopt when it did not.
    std::optional<QString> removal(const QString& path) const;

private:
    QList<Chain> chains_;
    QHash<QString, Copy> copies_;
    QHash<QString, QString> pathByName_;
};

// The file name at the end of a path.
QString lastPart(const QString& path);

} // namespace kestrova
