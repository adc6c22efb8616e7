#include "automation/AutoCq.h"

#include "common/NumericValue.h"
#include "platform/SoundFileProbe.h"
#include "player/Player.h"
#include "services/Services.h"
#include "settings/SettingsValues.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/StatusBar.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace kestrova {

AutoCq::AutoCq(Services& program) : program_(program) {
    connectTimers();
}

void AutoCq::connectTimers() {
    QObject::connect(&tmrCQ, &QTimer::timeout, &tmrCQ, [this] { tmrCQ_Timer(); });
    QObject::connect(&tmrCQ_PAUSE, &QTimer::timeout, &tmrCQ_PAUSE, [this] { tmrCQ_PAUSE_Timer(); });
    QObject::connect(&tmrRSP, &QTimer::timeout, &tmrRSP, [this] { tmrRSP_Timer(); });
}

void AutoCq::stopTimers() {
    for (QTimer* timer : {&tmrCQ, &tmrCQ_PAUSE, &tmrRSP}) {
        timer->stop();
    }
}

bool AutoCq::setCqPause(long long milliseconds) {
    if (!isTimerInterval(milliseconds)) {
        return false;
    }
    tmrCQ_PAUSE.setInterval(static_cast<int>(milliseconds));
    return true;
}

void AutoCq::lblCQ_MouseDown(int button, int shift, int x, int y) {
    Transmitter& transmitter = program_.transmitter();
    // Nothing starts or stops beside a held transmission.
    if (transmitter.isHeld()) {
        return;
    }
    if (button != mousebutton::Left) {
        // Another file only; a running cycle goes on with whatever the sound window loads.
        transmitter.cqFile.clear();
        lblCQ_MouseDown(mousebutton::Left, shift, x, y);
        return;
    }
    if (transmitter.cqFile.isEmpty()) {
        Player& player = program_.player();
        player.lbl_LoadWave_MouseDown(mousebutton::Left, 0, 0, 0);
        transmitter.cqFile = player.currentFile();
        return;
    }
    if (!isPressed(program_.frm_DoKu->lblCQ)) {
        startCq();
    } else {
        stopCq();
    }
}

void AutoCq::cmd_PAPA_Click() {
    lblCQ_MouseDown(mousebutton::Left, 0, 0, 0);
}

int AutoCq::airTimeInterval() const {
    const double ms = numericValue(program_.player().playSecondsText()) * 1000 + 1000;
    // A header can claim a length no timer holds; the longest interval then still ends the air time.
    return static_cast<int>(std::clamp<long long>(roundToWhole(ms), 1, INT_MAX));
}

void AutoCq::startCq() {
    MainForm& main = *program_.frm_DoKu;
    Player& player = program_.player();
    Transmitter& transmitter = program_.transmitter();

    // Looked at before the sound window reads it (its messages are modal) and before
    // keying: a file the playback cannot decode is never keyed for.
    const SoundFileProbe probe = probeSoundFile(transmitter.cqFile);
    if (!probe.playable) {
        reportUnplayable(transmitter.cqFile, probe.reason);
        return;
    }
    player.setCurrentFile(transmitter.cqFile);
    player.loadPlayerFile();
    transmitter.sli_Lautst_Scroll(program_.frm_Oszi->sli_Lautst->sliderPosition());
    if (!playKeyed()) {
        reportUnplayable(transmitter.cqFile, QString());
        return;
    }
    showPressed(main.lblCQ);
    airInterval_ = airTimeInterval();
    endChecks_ = 0;
    tmrCQ.setInterval(airInterval_);
    tmrCQ.start();
    // The window keeps showing the running cycle, whatever held its painting back.
    main.setUpdatesEnabled(true);
    switchSquelchWatch();
    main.lblrsp->show();
}

// Keyed first, then played, so the first samples go out on the carrier. The toggle
// presses the button as a rule; if the user had pressed it already it releases it,
// so the line is keyed in any case. A player that does not start after all lets go
// of the line at once.
bool AutoCq::playKeyed() {
    Player& player = program_.player();
    Transmitter& transmitter = program_.transmitter();
    transmitter.lbl_TX_Click();
    transmitter.transmitterOn();
    player.lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    player.lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    if (player.playing()) {
        return true;
    }
    program_.transmitter().releaseTxButton();
    transmitter.transmitterOff();
    return false;
}

// Un-keyed, in the status bar: a message box would stop everything while it is open.
void AutoCq::reportUnplayable(const QString& path, const QString& reason) {
    if (isPressed(program_.frm_DoKu->lblCQ)) {
        stopCq();
    }
    QString text = QStringLiteral("Auto-CQ beendet: ") + QFileInfo(path).fileName() +
                   QStringLiteral(" kann nicht gesendet werden.");
    if (!reason.isEmpty()) {
        text += QLatin1Char(' ') + reason;
    }
    program_.statusBar().showNotice(text);
}

void AutoCq::stopCq() {
    MainForm& main = *program_.frm_DoKu;
    main.lblrsp->hide();
    showReleased(main.lblCQ);
    program_.player().cmdStop_Click();
    program_.player().cmdStop_MouseDown(mousebutton::Left, 0, 0, 0);
    tmrCQ.stop();
    tmrCQ_PAUSE.stop();
    program_.transmitter().transmitterOff();
    switchSquelchWatch();
}

void AutoCq::haltForSettings() {
    MainForm& main = *program_.frm_DoKu;
    const bool running = isPressed(main.lblCQ) || tmrCQ.isActive() || tmrCQ_PAUSE.isActive();
    tmrRSP.stop();
    tmrCQ_PAUSE.stop();
    tmrCQ.stop();
    if (running) {
        // The file may play on, but with the cycle gone nothing would ever let go of the line.
        program_.transmitter().releaseTxButton();
        program_.transmitter().transmitterOff();
    }
}

void AutoCq::switchSquelchWatch() {
    // The box as it is now, saved or not: the watch does nothing without an open port anyway.
    if (program_.frm_Einstellungen->chk_TX->isChecked()) {
        tmrRSP.start();
    } else {
        tmrRSP.stop();
    }
}

void AutoCq::tmrCQ_Timer() {
    Player& player = program_.player();
    // The card plays behind the player by its output latency: the player's end of
    // the file, not this timer, lets go of the line, unless the end is overdue.
    if (player.playing() && endChecks_ < kEndAllowanceMs / kEndCheckMs) {
        ++endChecks_;
        tmrCQ.setInterval(kEndCheckMs);
        return;
    }
    tmrCQ.stop();
    tmrCQ.setInterval(airInterval_);
    endChecks_ = 0;
    if (player.playing()) {
        // Overdue: what the card still holds must not go out after the line drops.
        player.cmdStop_Click();
    }
    // A file that never started playing has no end: the gap and the pause are off the air.
    program_.transmitter().releaseTxButton();
    program_.transmitter().transmitterOff();
    tmrCQ_PAUSE.start();
}

void AutoCq::tmrCQ_PAUSE_Timer() {
    Player& player = program_.player();
    Transmitter& transmitter = program_.transmitter();
    if (transmitter.isHeld()) {
        return; // the pause timer runs on; the next transmission waits for the held one
    }
    tmrCQ_PAUSE.stop();
    // Looked at before keying: a file the playback cannot decode is never keyed for.
    const SoundFileProbe probe = probeSoundFile(player.originalFile());
    if (!probe.playable) {
        reportUnplayable(player.originalFile(), probe.reason);
        return;
    }
    if (!playKeyed()) {
        reportUnplayable(player.originalFile(), QString());
        return;
    }
    endChecks_ = 0;
    tmrCQ.setInterval(airInterval_);
    tmrCQ.start();
}

void AutoCq::tmrRSP_Timer() {
    squelchWatch();
}

void AutoCq::squelchWatch() {
    Transmitter& transmitter = program_.transmitter();
    if (!transmitter.hasControlPort()) {
        return;
    }
    // A reading that fails (empty) counts as a busy channel: what cannot be watched is not sent.
    if (transmitter.readSquelchLine() != program_.settingsValues().squelchActiveChar) {
        program_.frm_DoKu->lblrsp->setText(QStringLiteral("TX_Mic"));
        abortCq();
    } else {
        program_.frm_DoKu->lblrsp->setText(QStringLiteral("Papagei"));
    }
}

void AutoCq::abortCq() {
    MainForm& main = *program_.frm_DoKu;
    main.lblrsp->setEnabled(false);
    main.lblCQ->setEnabled(true);
    program_.player().cmdStop_Click();
    program_.player().cmdStop_MouseDown(mousebutton::Left, 0, 0, 0);
    tmrCQ.stop();
    tmrCQ_PAUSE.stop();
    showReleased(main.lblCQ);
    program_.transmitter().transmitterOff();
}

void AutoCq::connectControls() {
    MainForm& main = *program_.frm_DoKu;
    // All the work is on the press; the label's click does nothing.
    QObject::connect(main.lblCQ_mouse, &MouseEvents::mouseDown, &main,
                     [this](int button, int shift, int x, int y) { lblCQ_MouseDown(button, shift, x, y); });
    QObject::connect(main.cmd_PAPA, &QPushButton::clicked, &main, [this] { cmd_PAPA_Click(); });
}

} // namespace kestrova
