#include "base/archive/ManifestNames.h"

#include "base/archive/RecordingName.h"

#include <QDir>

namespace kestrova {

QString manifestFolder(const QString& docFolder) {
    return QDir(docFolder).filePath(QStringLiteral("Manifeste"));
}

QString manifestPath(const QString& docFolder, const QString& recordingName, const QDate& day) {
    return QDir(manifestFolder(docFolder))
        .filePath(recordingCircuit(recordingName) + QLatin1Char('_') +
                  day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt"));
}

QString circuitOfManifest(const QString& fileName) {
    return fileName.section(QLatin1Char('_'), 0, 0);
}

QDate dayOfManifest(const QString& fileName) {
    const QString day = fileName.section(QLatin1Char('_'), 1);
    const QString ending = QStringLiteral(".txt");
    return day.endsWith(ending) ? QDate::fromString(day.chopped(ending.size()), QStringLiteral("yyyy-MM-dd"))
                                : QDate();
}

QStringList manifestsOfCircuit(const QString& manifestFolder, const QString& circuit) {
    QStringList names = QDir(manifestFolder)
                            .entryList({circuit + QStringLiteral("_*.txt")}, QDir::Files | QDir::NoSymLinks,
                                       QDir::Name | QDir::Reversed);
    names.removeIf([&circuit](const QString& name) {
        return circuitOfManifest(name) != circuit || !dayOfManifest(name).isValid();
    });
    return names;
}

} // namespace kestrova
