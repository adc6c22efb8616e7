#include "player/Player.h"

#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "platform/Dialogs.h"
#include "services/Services.h"
#include "ui/SoundForm.h"

#include <QTimer>

namespace kestrova {

Player::Player(Services& program) : program_(program), view_(program) {
    connectTimers();
}

void Player::connectTimers() {
    QObject::connect(&tmrplaywave, &QTimer::timeout, &tmrplaywave, [this] { tmrplaywave_Timer(); });
    QObject::connect(&tmr_Focus, &QTimer::timeout, &tmr_Focus, [this] { tmr_Focus_Timer(); });
    QObject::connect(&tmr1, &QTimer::timeout, &tmr1, [this] { tmr1_Timer(); });
    QObject::connect(&tmr2, &QTimer::timeout, &tmr2, [this] { tmr2_Timer(); });
    QObject::connect(&tmr_NachStop, &QTimer::timeout, &tmr_NachStop, [this] { tmr_NachStop_Timer(); });
}

void Player::stopTimers() {
    for (QTimer* timer : {&tmrplaywave, &tmr_Focus, &tmr1, &tmr2, &tmr_NachStop, &tmr_Play}) {
        timer->stop();
    }
}

CommandDevice& Player::device() {
    return program_.platform().player;
}

CommandResult Player::send(const QString& command) {
    return device().send(command);
}

long long Player::sliderMilliseconds() const {
    return roundToWhole(view_.sliderValue() * double(playback_.playLength) * 0.000001);
}

bool Player::seekAndPlay(long long milliseconds) {
    playback_.paused = false;
    const QString n = QString::number(milliseconds);
    const bool sought = send(QStringLiteral("seek waveplayfile to ") + n).error == 0;
    return send(QStringLiteral("play waveplayfile from ") + n).error == 0 && sought;
}

// --- header ---------------------------------------------------------------------------------

bool Player::checkWaveHeader(const QString& path) {
    return passHeader(file_.readHeader(path.trimmed()));
}

bool Player::passHeader(WaveHeaderVerdict verdict) {
    Dialogs& dialogs = program_.platform().dialogs;
    switch (verdict) {
    case WaveHeaderVerdict::Valid:
        return true;
    case WaveHeaderVerdict::TooShort:
        openWaveFileDialog();
        return false;
    case WaveHeaderVerdict::Unreadable:
        return false;
    case WaveHeaderVerdict::UnknownFormat:
        dialogs.message(QStringLiteral("Unknown Wave Format"), QStringLiteral("Error"), MessageButtons::Ok,
                        MessageIcon::None);
        return false;
    case WaveHeaderVerdict::NoDataChunk:
        dialogs.message(QStringLiteral("No Data Chunk found"), QStringLiteral("Error"), MessageButtons::Ok,
                        MessageIcon::None);
        return false;
    }
    return false;
}

bool Player::readWaveHeader(const QString& path) {
    return checkWaveHeader(path) && acceptHeader(path);
}

// A rejected file is told about again, as by any read; only the parse is saved.
bool Player::readWaveHeaderAgain(const QString& path) {
    return passHeader(file_.readHeaderAgain(path.trimmed())) && acceptHeader(path);
}

bool Player::acceptHeader(const QString& path) {
    file_.accept(path);
    stopPlayback();
    view_.setSlider(0);
    return true;
}

void Player::updatePlaybackMeter() {
    view_.updatePlaybackMeter();
}

void Player::cmd_Os_Zurück_Click() {
    // Playback goes on: the window only gets out of the way.
    program_.frm_Oszi->hide();
}

} // namespace kestrova
