// The sound window, the file dialog and loading a file into the window.
#include "common/NumericValue.h"
#include "platform/Dialogs.h"
#include "platform/SoundFileProbe.h"
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "services/Services.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace kestrova {

namespace {

// What a fresh window starts from: beyond the last start position, so the beginning.
constexpr long long kFreshStartPos = 10'000'000;
// Recordings this long or longer get no level table.
constexpr double kLevelTableSeconds = 200;

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
    playback_.startPos = kFreshStartPos;
    view_.setLevelTable(LevelTable());
    playback_.playing = false;
    if (!currentFile().isEmpty() && QFileInfo(currentFile()).isFile()) {
        readWaveHeader(currentFile());
    }
}

void Player::lbl_LoadWave_MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Hover);
}

void Player::chooseWaveFile(const QString& startFolder) {
    file_.setCurrent(QString());
    tmrplaywave.stop();
    stopPlayback();
    view_.setMainWindowEnabled(false);
    file_.setCurrent(program_.platform().dialogs.openFile(program_.frm_DoKu, waveFileRequest(startFolder)));
}

void Player::lbl_LoadWave_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    listCalls.pressEntry();
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Sunken);
    chooseWaveFile(program_.frm_Einstellungen->ed_PfadDoku->text().trimmed());
    // Loading and starting run from fresh timer events once the dialog is gone.
    tmr2.start();
}

void Player::loadCurrentFile() {
    view_.setSlider(0);
    stopPlayback();
    file_.setLoaded(currentFile());
    tmrplaywave.stop();
    view_.setMainWindowEnabled(false);
    const bool exists = QFileInfo(currentFile()).isFile();
    if (exists) {
        readWaveHeader(currentFile());
    }
    loadWindowFile(exists);
}

void Player::tmr2_Timer() {
    if (!currentFile().isEmpty()) {
        program_.platform().sounds.stop();
        loadCurrentFile();
        tmr1.start();
    } else {
        view_.setMainWindowEnabled(true);
    }
    program_.frm_Oszi->show();
    tmr2.stop();
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Flat);
}

// For a file too short to be a WAVE file: the user may choose another, loaded at once.
void Player::openWaveFileDialog() {
    chooseWaveFile(QString());
    if (currentFile().isEmpty()) {
        view_.setMainWindowEnabled(true);
        return;
    }
    program_.platform().sounds.stop();
    loadCurrentFile();
    // The set-up of the sound window may get here before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        tmr1.start();
    }
}

void Player::loadPlayerFile() {
    loadWindowFile(false);
}

void Player::loadWindowFile(bool headerJustRead) {
    file_.markCurrentAsOriginal();
    file_.dropFolder();
    if (!currentFile().isEmpty()) {
        // The copies of the file before go with it, even when this one is refused.
        speeds_.setSource(QString());
        const QString path = currentFile();
        const bool passed = headerJustRead ? readWaveHeaderAgain(path) : readWaveHeader(path);
        prepareSpeedCopies(passed);
        if (passed) {
            refuseUnplayableFile(path);
        }
        playback_.pos = 0;
        playback_.startPos = 0;
        view_.setSlider(0);
    }
    showLoadedFile();
    view_.setMainWindowEnabled(true);
    view_.showFileName(currentFile());
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
    view_.showSpeedControls();
    view_.showFileName(currentFile());
    // One open serves the drawing and the level table.
    QFile samples(loadedFile());
    const bool readable = openPlainFile(samples);
    drawWaveform(readable ? &samples : nullptr);
    buildLevelTable(readable ? &samples : nullptr);
}

void Player::closeDeletedFile(const QString& path) {
    const QString deleted = QDir::cleanPath(path);
    if (path.isEmpty() ||
        (QDir::cleanPath(originalFile()) != deleted && QDir::cleanPath(loadedFile()) != deleted)) {
        return;
    }
    stopPlayback();
    tmrplaywave.stop();
    file_.forget();
    playback_ = PlaybackState();
    speeds_.setSource(QString());
    view_.showNoFile();
}

// Drawn from loadedFile, with the fields its header left, even for a refused file.
void Player::drawWaveform(QFile* samples) {
    view_.drawWaveform(waveInfo(), samples);
}

void Player::buildLevelTable(QFile* samples) {
    // Long recordings get no table: the bar then only decays while they play.
    if (numericValue(playSecondsText()) >= kLevelTableSeconds) {
        view_.setLevelTable(LevelTable());
        return;
    }
    if (loadedFile().trimmed().isEmpty()) {
        file_.setLoaded(currentFile());
        QFile file(loadedFile());
        view_.setLevelTable(openPlainFile(file) ? LevelTable::build(file) : LevelTable());
        return;
    }
    view_.setLevelTable(samples != nullptr && samples->seek(0) ? LevelTable::build(*samples) : LevelTable());
}

} // namespace kestrova
