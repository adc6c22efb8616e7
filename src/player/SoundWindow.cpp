// The sound window's set-up, the file dialog, loading a file, its waveform and the level bar.
#include "app/Program.h"
#include "archive/Archive.h"
#include "common/NumericValue.h"
#include "common/PathSeparator.h"
#include "platform/Dialogs.h"
#include "platform/SoundFileProbe.h"
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "player/Waveform.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/WaveformView.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace kestrova {

namespace {

const QColor kWaveColor(0, 255, 255);

FileDialogRequest waveFileRequest(const QString& startFolder) {
    return {QStringLiteral("Open Wave File"), startFolder, QStringLiteral("Sound Files"),
            QStringLiteral("*.wav")};
}

// Opens a plain file for reading; pipes and devices could block the reads.
bool openPlainFile(QFile& file) {
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

} // namespace

void Player::loadSoundWindow() {
    program_.createSoundForm();
    startPos = 10'000'000;
    levelTable = LevelTable();
    playing = false;
    if (!currentFile.isEmpty() && QFileInfo(currentFile).isFile()) {
        readWaveHeader(currentFile);
    }
}

void Player::lbl_LoadWave_MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Hover);
}

void Player::chooseWaveFile(const QString& startFolder) {
    currentFile.clear();
    program_.frm_Oszi->tmrplaywave->stop();
    stopPlayback();
    setMainWindowEnabled(false);
    currentFile = program_.platform().dialogs.openFile(program_.frm_DoKu, waveFileRequest(startFolder));
}

void Player::lbl_LoadWave_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.archive().lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0);
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Sunken);
    chooseWaveFile(program_.frm_Einstellungen->ed_PfadDoku->text().trimmed());
    // Loading and starting run from fresh timer events once the dialog is gone.
    program_.frm_DoKu->tmr2->start();
}

void Player::loadCurrentFile() {
    setSlider(0);
    stopPlayback();
    loadedFile = currentFile;
    program_.frm_Oszi->tmrplaywave->stop();
    setMainWindowEnabled(false);
    if (QFileInfo(currentFile).isFile()) {
        readWaveHeader(currentFile);
    }
    loadPlayerFile();
}

void Player::tmr2_Timer() {
    if (!currentFile.isEmpty()) {
        program_.platform().sounds.stop();
        loadCurrentFile();
        program_.frm_DoKu->tmr1->start();
    } else {
        setMainWindowEnabled(true);
    }
    program_.frm_Oszi->show();
    program_.frm_DoKu->tmr2->stop();
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Flat);
}

// For a file too short to be a WAVE file: the user may choose another, loaded at once.
void Player::openWaveFileDialog() {
    chooseWaveFile(QString());
    if (currentFile.isEmpty()) {
        setMainWindowEnabled(true);
        return;
    }
    program_.platform().sounds.stop();
    loadCurrentFile();
    // The set-up of the sound window may get here before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        program_.frm_DoKu->tmr1->start();
    }
}

void Player::loadPlayerFile() {
    originalFile = currentFile;
    if (endsWithSeparator(currentFile)) {
        currentFile.clear(); // a folder is not a file
    }
    prepareSpeedCopies();
    if (!currentFile.isEmpty()) {
        if (readWaveHeader(currentFile)) {
            refuseUnplayableFile(currentFile);
        }
        pos = 0;
        startPos = 0;
        setSlider(0);
    }
    showLoadedFile();
    setMainWindowEnabled(true);
    program_.frm_Oszi->lblFile->setText(QDir::toNativeSeparators(currentFile));
}

// The header reader takes codings and layouts the playback may not decode; the
// user learns it here, before a start that would play nothing.
void Player::refuseUnplayableFile(const QString& path) {
    const SoundFileProbe probe = probeSoundFile(path);
    if (!probe.playable) {
        program_.platform().dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(path) +
                                                QStringLiteral("] kann nicht abgespielt werden!\r\r") +
                                                probe.reason,
                                            QString(), MessageButtons::Ok, MessageIcon::Stop);
    }
}

void Player::showLoadedFile() {
    SoundForm& sound = *program_.frm_Oszi;
    for (QWidget* control : {static_cast<QWidget*>(sound.lblFreqNorm), static_cast<QWidget*>(sound.lblFreq1),
                             static_cast<QWidget*>(sound.lblFreq2), static_cast<QWidget*>(sound.lblFreq3),
                             static_cast<QWidget*>(sound.cmdStop)}) {
        control->setVisible(true);
    }
    sound.lblFile->setText(QDir::toNativeSeparators(currentFile));
    drawWaveform();
    buildLevelTable();
}

// Drawn over what the area shows; callers that want a clean picture clear it first.
void Player::drawWaveform() {
    QFile file(loadedFile);
    const bool readable = openPlainFile(file);
    WaveformView& area = *program_.frm_Oszi->frx1;
    for (const WaveformLine& line : waveformLines(waveInfo, readable ? &file : nullptr)) {
        area.drawLine(line.from, line.to, kWaveColor);
    }
}

void Player::buildLevelTable() {
    // Long recordings get no table: the bar then only decays while they play.
    if (numericValue(playSecondsText) >= 200) {
        levelTable = LevelTable();
        return;
    }
    if (loadedFile.trimmed().isEmpty()) {
        loadedFile = currentFile;
    }
    QFile file(loadedFile);
    levelTable = openPlainFile(file) ? LevelTable::build(file) : LevelTable();
}

void Player::updatePlaybackMeter() {
    const std::optional<int> level = levelTable.levelAt(program_.frm_Oszi->slider->value());
    if (!level) {
        return;
    }
    if (const std::optional<int> shown = followPeak(meterPeak, *level)) {
        QProgressBar* bar = program_.frm_Oszi->pro1;
        bar->setValue(qBound(bar->minimum(), *shown, bar->maximum()));
    }
}

void Player::cmd_Os_Zurück_Click() {
    // Playback goes on: the window only gets out of the way.
    program_.frm_Oszi->hide();
}

} // namespace kestrova
