#include "recorder/InterruptedCapture.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "archive/Archive.h"
#include "platform/CaptureDevice.h"
#include "recorder/RecordingName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {
const QString setAsidePrefix = QStringLiteral("capture.interrupted-");

// Sample rate and sample count of an 8-bit mono file whose header is complete.
bool readLength(const QString& path, int& rate, qint64& samples) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray header = file.read(44);
    if (header.size() < 44) {
        return false;
    }
    const auto byte = [&header](int i) {
        return static_cast<quint32>(static_cast<unsigned char>(header.at(i)));
    };
    rate = static_cast<int>(byte(24) | byte(25) << 8 | byte(26) << 16 | byte(27) << 24);
    samples = file.size() - 44;
    return rate > 0;
}
} // namespace

QStringList InterruptedCapture::setAside(const QString& workingFolder) {
    const QDir folder(workingFolder);
    QStringList paths;
    // Files set aside by an earlier start that could not file them come first.
    for (const QString& name :
         folder.entryList({setAsidePrefix + QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        paths << folder.filePath(name);
    }
    const QString working = folder.filePath(QString::fromLatin1(CaptureDevice::kWorkingFileName));
    if (!QFile::exists(working)) {
        return paths;
    }
    for (int n = 1; n < 1000; ++n) {
        const QString target = folder.filePath(setAsidePrefix + QString::number(n) + QStringLiteral(".wav"));
        if (!QFile::exists(target)) {
            if (QFile::rename(working, target)) {
                paths << target;
            }
            break;
        }
    }
    return paths;
}

void InterruptedCapture::file(Program& program, const QStringList& setAsidePaths) {
    const QDir folder(program.workingFolder());
    for (const QString& path : setAsidePaths) {
        int rate = 0;
        qint64 samples = 0;
        // The last write was the end of the audio; completing the header writes again.
        const QDateTime ended = QFileInfo(path).lastModified();
        if (!CaptureDevice::recoverWorkingFile(path) || !readLength(path, rate, samples)) {
            continue; // not a capture of ours: left as it is
        }
        const QDateTime started = ended.addMSecs(-samples * 1000 / rate);
        const QString name = makeRecordingName(program.settings().values.circuitNumber, started);
        const QString target = folder.filePath(name);
        if (QFile::exists(target) || !QFile::rename(path, target)) {
            continue;
        }
        program.archive().keepRecording(target, name);
    }
}

} // namespace kestrova
