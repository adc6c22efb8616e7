#include "player/SoundFileLoader.h"

#include "common/NumericValue.h"
#include "platform/Dialogs.h"
#include "platform/SoundFileProbe.h"
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "player/SoundWindowView.h"
#include "services/Services.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

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

SoundFileLoader::SoundFileLoader(Services& program, Player& player, SoundWindowView& view, LoadedFile& file)
    : program_(program), player_(player), view_(view), file_(file) {
    QObject::connect(&tmr1, &QTimer::timeout, &tmr1, [this] { tmr1_Timer(); });
    QObject::connect(&tmr2, &QTimer::timeout, &tmr2, [this] { tmr2_Timer(); });
}

void SoundFileLoader::stopTimers() {
    tmr1.stop();
    tmr2.stop();
}

// --- header ---------------------------------------------------------------------------------

bool SoundFileLoader::checkWaveHeader(const QString& path) {
    return passHeader(file_.readHeader(path.trimmed()));
}

bool SoundFileLoader::passHeader(WaveHeaderVerdict verdict) {
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

bool SoundFileLoader::readWaveHeader(const QString& path) {
    return checkWaveHeader(path) && acceptHeader(path);
}

// A rejected file is told about again, as by any read; only the parse is saved.
bool SoundFileLoader::readWaveHeaderAgain(const QString& path) {
    return passHeader(file_.readHeaderAgain(path.trimmed())) && acceptHeader(path);
}

bool SoundFileLoader::acceptHeader(const QString& path) {
    file_.accept(path);
    player_.playback().stopPlayback();
    player_.playback().setSlider(0);
    return true;
}

// --- the window and the dialog --------------------------------------------------------------

void SoundFileLoader::loadSoundWindow() {
    PlaybackState& state = player_.playback().state();
    state.startPos = kFreshStartPos;
    player_.playback().setLevelTable(LevelTable());
    state.playing = false;
    if (!file_.current().isEmpty() && QFileInfo(file_.current()).isFile()) {
        readWaveHeader(file_.current());
    }
}

void SoundFileLoader::lbl_LoadWave_MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Hover);
}

void SoundFileLoader::chooseWaveFile(const QString& startFolder) {
    file_.setCurrent(QString());
    player_.playback().stopFollowing();
    player_.playback().stopPlayback();
    view_.setMainWindowEnabled(false);
    file_.setCurrent(program_.platform().dialogs.openFile(program_.frm_DoKu, waveFileRequest(startFolder)));
}

void SoundFileLoader::lbl_LoadWave_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    player_.listCalls.pressEntry();
    program_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Sunken);
    chooseWaveFile(program_.frm_Einstellungen->ed_PfadDoku->text().trimmed());
    // Loading and starting run from fresh timer events once the dialog is gone.
    tmr2.start();
}

void SoundFileLoader::tmr2_Timer() {
    if (!file_.current().isEmpty()) {
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

void SoundFileLoader::tmr1_Timer() {
    player_.lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    player_.lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    tmr1.stop();
}

// For a file too short to be a WAVE file: the user may choose another, loaded at once.
void SoundFileLoader::openWaveFileDialog() {
    chooseWaveFile(QString());
    if (file_.current().isEmpty()) {
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

// --- loading --------------------------------------------------------------------------------

void SoundFileLoader::loadCurrentFile() {
    player_.playback().setSlider(0);
    player_.playback().stopPlayback();
    file_.setLoaded(file_.current());
    player_.playback().stopFollowing();
    view_.setMainWindowEnabled(false);
    const bool exists = QFileInfo(file_.current()).isFile();
    if (exists) {
        readWaveHeader(file_.current());
    }
    loadWindowFile(exists);
}

void SoundFileLoader::loadPlayerFile() {
    loadWindowFile(false);
}

void SoundFileLoader::loadWindowFile(bool headerJustRead) {
    file_.markCurrentAsOriginal();
    file_.dropFolder();
    if (!file_.current().isEmpty()) {
        // The copies of the file before go with it, even when this one is refused.
        player_.speedLabels().setCopySource(QString());
        const QString path = file_.current();
        const bool passed = headerJustRead ? readWaveHeaderAgain(path) : readWaveHeader(path);
        prepareSpeedCopies(passed);
        if (passed) {
            refuseUnplayableFile(path);
        }
        PlaybackState& state = player_.playback().state();
        state.pos = 0;
        state.startPos = 0;
        player_.playback().setSlider(0);
    }
    showLoadedFile();
    view_.setMainWindowEnabled(true);
    view_.showFileName(file_.current());
}

void SoundFileLoader::prepareSpeedCopies(bool headerPassed) {
    if (headerPassed && QFileInfo(file_.current()).isFile()) {
        player_.speedLabels().setCopySource(file_.current());
    }
}

void SoundFileLoader::reloadPlayerFile() {
    player_.playback().stopFollowing();
    file_.dropFolder();
    player_.playback().setSlider(player_.playback().state().startPos);
    readWaveHeader(file_.current());
    program_.frm_DoKu->cmd_File_lö->setEnabled(false);
}

// The header reader takes codings and layouts the playback may not decode; the
// user learns it here, before a start that would play nothing.
void SoundFileLoader::refuseUnplayableFile(const QString& path) {
    const SoundFileProbe probe = probeSoundFile(path);
    if (!probe.playable) {
        program_.platform().dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(path) +
                                                QStringLiteral("] kann nicht abgespielt werden!\r\r") +
                                                probe.reason,
                                            QString(), MessageButtons::Ok, MessageIcon::Stop);
    }
}

void SoundFileLoader::showLoadedFile() {
    view_.showSpeedControls();
    view_.showFileName(file_.current());
    // One open serves the drawing and the level table.
    QFile samples(file_.loaded());
    const bool readable = openPlainFile(samples);
    // Drawn from the loaded file, with the fields its header left, even for a refused file.
    view_.drawWaveform(file_.info(), readable ? &samples : nullptr);
    buildLevelTable(readable ? &samples : nullptr);
}

void SoundFileLoader::closeDeletedFile(const QString& path) {
    const QString deleted = QDir::cleanPath(path);
    if (path.isEmpty() ||
        (QDir::cleanPath(file_.original()) != deleted && QDir::cleanPath(file_.loaded()) != deleted)) {
        return;
    }
    player_.playback().stopPlayback();
    player_.playback().stopFollowing();
    file_.forget();
    player_.playback().state() = PlaybackState();
    player_.speedLabels().setCopySource(QString());
    player_.playback().setSlider(0);
    player_.playback().setLevelTable(LevelTable());
    view_.showNoFile();
}

void SoundFileLoader::buildLevelTable(QFile* samples) {
    // Long recordings get no table: the bar then only decays while they play.
    if (numericValue(file_.playSecondsText()) >= kLevelTableSeconds) {
        player_.playback().setLevelTable(LevelTable());
        return;
    }
    if (file_.loaded().trimmed().isEmpty()) {
        file_.setLoaded(file_.current());
        QFile file(file_.loaded());
        player_.playback().setLevelTable(openPlainFile(file) ? LevelTable::build(file) : LevelTable());
        return;
    }
    player_.playback().setLevelTable(samples != nullptr && samples->seek(0) ? LevelTable::build(*samples)
                                                                            : LevelTable());
}

} // namespace kestrova
