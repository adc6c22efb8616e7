#include "recorder/CaptureControl.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "archive/Archive.h"
#include "archive/RecordingRules.h"
#include "platform/Clock.h"
#include "platform/CommandDevice.h"
#include "recorder/RecordingName.h"
#include "ui/SettingsForm.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <optional>
#include <utility>

namespace kestrova {

CaptureControl::CaptureControl(Program& program) : program_(program) {}

// Results are not looked at: a command that does not fit the device's state is
// refused by the device and changes nothing.
void CaptureControl::send(const QString& command) {
    program_.platform().capture.send(command);
}

void CaptureControl::startCapture() {
    captureUnfiled_ = true;
    recordingName =
        makeRecordingName(program_.settings().values.circuitNumber, program_.platform().clock.now());
    const QString rate = program_.frm_Einstellungen->cb_Sample->currentText();
    for (const int candidate : {11025, 8000, 22050, 44100}) {
        if (rate == QString::number(candidate)) {
            openCapture(8, candidate, 1);
            return;
        }
    }
}

void CaptureControl::openCapture(int bitsPerSample, int samplesPerSecond, int channels) {
    const long long bytesPerSecond = static_cast<long long>(channels) * bitsPerSample * samplesPerSecond / 8;
    send(QStringLiteral("open new type waveaudio alias capture"));
    send(QStringLiteral("set capture time format milliseconds bitspersample %1 samplespersec %2 channels %3 "
                        "bytespersec %4 alignment 1")
             .arg(bitsPerSample)
             .arg(samplesPerSecond)
             .arg(channels)
             .arg(bytesPerSecond));
    send(QStringLiteral("record capture"));
}

void CaptureControl::pauseCapture() {
    send(QStringLiteral("pause capture"));
}

void CaptureControl::resumeCapture() {
    send(QStringLiteral("resume capture"));
}

void CaptureControl::saveRecording() {
    if (recordingName.isEmpty()) {
        return;
    }
    // Saving runs again at switch-off and at the end of the program. The file of a
    // capture already filed is either gone or, after a failed copy, kept in the
    // working folder; taking it up again would list and count it twice.
    const bool unfiled = std::exchange(captureUnfiled_, false);
    if (unfiled) {
        recordingName = nameFreeInWorkingFolder(recordingName);
    }
    send(QStringLiteral("stop capture"));
    send(QStringLiteral("save capture ") + recordingName);
    send(QStringLiteral("close capture"));
    if (unfiled) {
        program_.archive().keepRecording(QDir(program_.workingFolder()).filePath(recordingName),
                                         recordingName);
    }
}

QString CaptureControl::nameFreeInWorkingFolder(const QString& name) const {
    // A file of the name there is a recording that could not be filed, kept for
    // the user; a capture started in the same second must not be saved over it.
    const QDir folder(program_.workingFolder());
    std::optional<QString> candidate = name;
    while (candidate && QFileInfo::exists(folder.filePath(*candidate))) {
        candidate = nameOneSecondLater(*candidate);
    }
    return candidate.value_or(name);
}

} // namespace kestrova
