#include "integrity/ManifestFile.h"

#include <QDir>

namespace kestrova {

QString manifestFolder(const QString& docFolder) {
    return QDir(docFolder).filePath(QStringLiteral("Manifeste"));
}

QString manifestPath(const QString& docFolder, const QString& recordingName, const QDate& day) {
    const QString circuit = recordingName.section(QLatin1Char('_'), 0, 0);
    return QDir(manifestFolder(docFolder))
        .filePath(circuit + QLatin1Char('_') + day.toString(QStringLiteral("yyyy-MM-dd")) +
                  QStringLiteral(".txt"));
}

bool ManifestReading::endsInCutOffLine() const {
    return !problems.isEmpty() && problems.last().kind == ManifestProblem::Kind::CutOff;
}

ManifestReading readManifest(const QByteArray& content) {
    ManifestReading reading;
    reading.lastHash = chainStartHash();
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype end = content.indexOf('\n', start);
        ++reading.lineCount;
        if (end < 0) {
            reading.problems.append({ManifestProblem::Kind::CutOff, reading.lineCount});
            break;
        }
        const std::optional<ManifestLine> line =
            parseManifestLine(QByteArrayView(content).sliced(start, end - start));
        start = end + 1;
        if (!line) {
            reading.problems.append({ManifestProblem::Kind::Damaged, reading.lineCount});
            continue;
        }
        if (line->previousHash != reading.lastHash) {
            reading.problems.append({ManifestProblem::Kind::ChainBroken, reading.lineCount});
        }
        reading.entries.append({line->entry, reading.lineCount});
        reading.lastHash = line->lineHash;
    }
    return reading;
}

} // namespace kestrova
