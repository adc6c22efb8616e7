#include "platform/SoundFileProbe.h"

#include "platform/PcmWavFile.h"

#include <QFileInfo>

namespace kestrova {

SoundFileProbe probeSoundFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return {false, QStringLiteral("Die Datei ist nicht vorhanden.")};
    }
    if (!info.isFile()) {
        return {false, QStringLiteral("Das ist keine gewöhnliche Datei.")};
    }
    if (!PcmWavFile::open(path).file) {
        return {false, QStringLiteral("Die Datei kann nicht abgespielt werden.")};
    }
    return {true, {}};
}

} // namespace kestrova
