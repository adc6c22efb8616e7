#pragma once

#include <QSet>
#include <QString>

namespace kestrova {

// The pieces of split transmissions that are shorter than the minimum time: each
// continues the recording before it, so the list pass must not delete it as too
// short. Their names are kept in a file of the recordings folder, one a line,
// since neither the name nor the file says it.
class ContinuationList {
public:
    explicit ContinuationList(const QString& recordingsFolder);

    static QString fileName() { return QStringLiteral("fortsetzungen.dat"); }
    // True for the list's own file, which is no recording.
    static bool isListFile(const QString& name);

    // False when the name could not be written down.
    bool add(const QString& name) const;
    // The names written down; only the newest part of an overlong file is read.
    QSet<QString> names() const;

private:
    QString path_;
};

} // namespace kestrova
