#include "base/recorder/InterruptedCapture.h"

#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingName.h"
#include "base/audio/WorkingFileCapture.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {

QString lateFilingNote(int filed, int left) {
    QStringList parts;
    if (filed > 0) {
        parts << QStringLiteral("Beim Start %1 liegengebliebene Aufnahme(n) in W abgelegt.").arg(filed);
    }
    if (left > 0) {
        parts << QStringLiteral(
                     "%1 Aufnahme(n) konnten nicht in W abgelegt werden und warten auf den nächsten "
                     "Start.")
                     .arg(left);
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

QStringList InterruptedCapture::setAside(const QString& programFolder) {
    const QDir folder(programFolder);
    QStringList paths;
    // Files set aside by an earlier start, or by a capture that could not be
    // saved, come first.
    const QString prefix = QString::fromLatin1(WorkingFileCapture::kSetAsidePrefix);
    for (const QString& name :
         folder.entryList({prefix + QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        paths << folder.filePath(name);
    }
    const QString working = folder.filePath(QString::fromLatin1(WorkingFileCapture::kWorkingFileName));
    if (QFile::exists(working)) {
        if (const QString target = WorkingFileCapture::setAside(working); !target.isEmpty()) {
            paths << target;
        }
    }
    return paths;
}

QStringList InterruptedCapture::leftBehind(const QString& programFolder, const SettingsValues& settings) {
    QStringList folders{programFolder};
    const QString docFolder = settings.docFolder;
    if (!docFolder.isEmpty() &&
        QFileInfo(docFolder).canonicalFilePath() != QFileInfo(programFolder).canonicalFilePath()) {
        folders << docFolder;
    }
    QStringList paths;
    for (const QString& path : std::as_const(folders)) {
        const QDir folder(path);
        for (const QString& name : folder.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
            if (isOneDigitCircuitName(name)) {
                paths << folder.filePath(name);
            }
        }
    }
    return paths;
}

QString InterruptedCapture::file(const QString& programFolder, const SettingsValues& settings,
                                 const Keep& keep, const QStringList& setAsidePaths) {
    // Looked for first: an interrupted capture that cannot be filed now is left
    // under its recording name and waits for the next start.
    const QStringList saved = leftBehind(programFolder, settings);
    const QDir folder(programFolder);
    QStringList waiting;
    for (const QString& path : setAsidePaths) {
        // The last write was the end of the audio; completing the header writes again.
        const QDateTime ended = QFileInfo(path).lastModified();
        const std::optional<WavFormat> format = WorkingFileCapture::recoverWorkingFile(path);
        if (!format) {
            continue; // not a capture of ours: left as it is
        }
        const QDateTime started =
            ended.addMSecs(-static_cast<qint64>(format->frameCount) * 1000 / format->sampleRate);
        const QString name = makeRecordingName(settings.circuitNumber, started);
        const QString target = folder.filePath(name);
        if (QFile::exists(target) || !QFile::rename(path, target)) {
            continue;
        }
        waiting << target;
    }
    waiting << saved;
    int filed = 0;
    int left = 0;
    for (const QString& path : std::as_const(waiting)) {
        const QString name = QFileInfo(path).fileName();
        // Nothing tells which of them continued a split transmission: the minimum decides.
        keep(path, name, RecordingPiece::Beginning);
        const std::optional<QString> recordings = findRecordingsFolder(settings.docFolder);
        if (QFileInfo::exists(path)) {
            ++left;
        } else if (recordings && QFileInfo::exists(QDir(*recordings).filePath(name))) {
            ++filed;
        }
    }
    return lateFilingNote(filed, left);
}

} // namespace kestrova
