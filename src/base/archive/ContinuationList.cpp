#include "base/archive/ContinuationList.h"

#include "base/files/DurableAppend.h"
#include "base/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <utility>

namespace kestrova {

namespace {
// Some forty thousand names; a larger file keeps its newest part.
constexpr qint64 kMostBytesRead = 1 << 20;
} // namespace

ContinuationList::ContinuationList(const QString& recordingsFolder)
    : path_(QDir(recordingsFolder).filePath(fileName())) {}

bool ContinuationList::isListFile(const QString& name) {
    return name.compare(fileName(), Qt::CaseInsensitive) == 0;
}

bool ContinuationList::add(const QString& name) const {
    return appendDurably(path_, name.toUtf8() + '\n');
}

QSet<QString> ContinuationList::names() const {
    const RegularFileOpen opened = openRegularFile(path_);
    if (!opened.file) {
        return {};
    }
    QFile& file = *opened.file;
    const qint64 start = std::max<qint64>(0, file.size() - kMostBytesRead);
    if (!file.seek(start)) {
        return {};
    }
    QList<QByteArray> lines = file.read(kMostBytesRead).split('\n');
    if (start > 0 && !lines.isEmpty()) {
        lines.removeFirst(); // cut in the middle
    }
    QSet<QString> names;
    for (const QByteArray& line : std::as_const(lines)) {
        if (!line.isEmpty()) {
            names.insert(QString::fromUtf8(line));
        }
    }
    return names;
}

} // namespace kestrova
