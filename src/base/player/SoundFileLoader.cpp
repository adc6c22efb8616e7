#include "base/player/SoundFileLoader.h"

#include "base/audio/SoundFileProbe.h"
#include "base/audio/SoundPlayer.h"
#include "base/common/NumericValue.h"
#include "base/files/RegularFile.h"
#include "base/player/Playback.h"
#include "base/player/SpeedLabels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// What the header reader's messages say, for a notice that waits for nobody.
QString headerRefusal(WaveHeaderVerdict verdict) {
    switch (verdict) {
    case WaveHeaderVerdict::Valid:
        return {};
    case WaveHeaderVerdict::TooShort:
        return QStringLiteral("Die Datei ist zu kurz für eine Wave-Datei.");
    case WaveHeaderVerdict::Unreadable:
        return QStringLiteral("Der Kopf der Datei kann nicht gelesen werden.");
    case WaveHeaderVerdict::UnknownFormat:
        return QStringLiteral("Das Tonfenster kennt das Format der Datei nicht (Unknown Wave Format).");
    case WaveHeaderVerdict::NoDataChunk:
        return QStringLiteral("Das Tonfenster findet in der Datei keine Tondaten (No Data Chunk found).");
    }
    return {};
}

// Opens a plain file for reading; pipes and devices could block the reads.
} // namespace

SoundFileLoader::SoundFileLoader(const Platform& platform, LoadedFile& file, Playback& playback)
    : platform_(platform), file_(file), playback_(playback) {
    connect(&tmr1, &QTimer::timeout, this, [this] { tmr1_Timer(); });
    connect(&tmr2, &QTimer::timeout, this, [this] { tmr2_Timer(); });
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
    Dialogs& dialogs = platform_.dialogs;
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
    playback_.stopPlayback();
    playback_.setSlider(0);
    return true;
}

// --- the window and the dialog --------------------------------------------------------------

void SoundFileLoader::loadSoundWindow() {
    PlaybackState& state = playback_.state();
    state.startPos = kFreshStartPos;
    playback_.setLevelTable(LevelTable());
    state.playing = false;
    if (!file_.current().isEmpty() && QFileInfo(file_.current()).isFile()) {
        readWaveHeader(file_.current());
    }
}

void SoundFileLoader::chooseWaveFile(const QString& startFolder) {
    file_.setCurrent(QString());
    playback_.stopFollowing();
    playback_.stopPlayback();
    emit mainWindowEnabled(false);
    // No owner: the dialog goes over the window the user works in.
    file_.setCurrent(platform_.dialogs.openFile(nullptr, waveFileRequest(startFolder)));
}

void SoundFileLoader::chooseFileToPlay(const QString& startFolder) {
    emit entryPressWanted();
    emit choosingChanged(true);
    chooseWaveFile(startFolder.trimmed());
    // Loading and starting run from fresh timer events once the dialog is gone.
    tmr2.start();
}

void SoundFileLoader::tmr2_Timer() {
    if (!file_.current().isEmpty()) {
        platform_.sounds.stop();
        loadCurrentFile();
        tmr1.start();
    } else {
        emit mainWindowEnabled(true);
    }
    emit windowWanted();
    tmr2.stop();
    emit choosingChanged(false);
}

void SoundFileLoader::tmr1_Timer() {
    if (speeds_ != nullptr) {
        speeds_->choose(SpeedLabels::kNormalSpeed);
    }
    tmr1.stop();
}

// For a file too short to be a WAVE file: the user may choose another, loaded at once.
void SoundFileLoader::openWaveFileDialog() {
    chooseWaveFile(QString());
    if (file_.current().isEmpty()) {
        emit mainWindowEnabled(true);
        return;
    }
    platform_.sounds.stop();
    loadCurrentFile();
    // The set-up of the sound window may get here before the main window exists.
    if (mainWindowExists_) {
        tmr1.start();
    }
}

// --- loading --------------------------------------------------------------------------------

void SoundFileLoader::loadCurrentFile() {
    playback_.setSlider(0);
    playback_.stopPlayback();
    file_.setLoaded(file_.current());
    playback_.stopFollowing();
    emit mainWindowEnabled(false);
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
        setCopySource(QString());
        const QString path = file_.current();
        const bool passed = headerJustRead ? readWaveHeaderAgain(path) : readWaveHeader(path);
        prepareSpeedCopies(passed);
        if (passed) {
            refuseUnplayableFile(path);
        }
        PlaybackState& state = playback_.state();
        state.pos = 0;
        state.startPos = 0;
        playback_.setSlider(0);
    }
    showLoadedFile();
    emit mainWindowEnabled(true);
    emit fileNamed(file_.current());
}

void SoundFileLoader::prepareSpeedCopies(bool headerPassed) {
    if (headerPassed && QFileInfo(file_.current()).isFile()) {
        setCopySource(file_.current());
    }
}

bool SoundFileLoader::reloadPlayerFile() {
    playback_.stopFollowing();
    file_.dropFolder();
    playback_.setSlider(playback_.state().startPos);
    const bool passed = readWaveHeader(file_.current());
    emit deletionAllowed(false);
    return passed;
}

QString SoundFileLoader::refusalOf(const QString& path) {
    const SoundFileProbe probe = probeSoundFile(path);
    if (!probe.playable) {
        return probe.reason;
    }
    return headerRefusal(LoadedFile::verdictOf(path.trimmed()));
}

// The header reader takes codings and layouts the playback may not decode; the
// user learns it here, before a start that would play nothing.
void SoundFileLoader::refuseUnplayableFile(const QString& path) {
    const SoundFileProbe probe = probeSoundFile(path);
    if (!probe.playable) {
        platform_.dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(path) +
                                      QStringLiteral("] kann nicht abgespielt werden!\r\r") + probe.reason,
                                  QString(), MessageButtons::Ok, MessageIcon::Stop);
    }
}

void SoundFileLoader::showLoadedFile() {
    emit fileLoaded(file_.current(), file_.playSecondsText());
    // One open serves the drawing and the level table.
    const RegularFileOpen samples = openRegularFile(file_.loaded());
    // Drawn from the loaded file, with the fields its header left, even for a refused file.
    emit waveformDrawn(waveformLines(file_.info(), samples.file.get()));
    buildLevelTable(samples.file.get());
}

void SoundFileLoader::closeDeletedFile(const QString& path) {
    const QString deleted = QDir::cleanPath(path);
    if (path.isEmpty() ||
        (QDir::cleanPath(file_.original()) != deleted && QDir::cleanPath(file_.loaded()) != deleted)) {
        return;
    }
    playback_.stopPlayback();
    playback_.stopFollowing();
    file_.forget();
    playback_.state() = PlaybackState();
    setCopySource(QString());
    playback_.setSlider(0);
    playback_.setLevelTable(LevelTable());
    emit fileGone();
}

void SoundFileLoader::setCopySource(const QString& path) {
    if (speeds_ != nullptr) {
        speeds_->setCopySource(path);
    }
}

void SoundFileLoader::buildLevelTable(QFile* samples) {
    // Long recordings get no table: the bar then only decays while they play.
    if (numericValue(file_.playSecondsText()) >= kLevelTableSeconds) {
        playback_.setLevelTable(LevelTable());
        return;
    }
    if (file_.loaded().trimmed().isEmpty()) {
        file_.setLoaded(file_.current());
        const RegularFileOpen opened = openRegularFile(file_.loaded());
        playback_.setLevelTable(opened.file ? LevelTable::build(*opened.file) : LevelTable());
        return;
    }
    playback_.setLevelTable(samples != nullptr && samples->seek(0) ? LevelTable::build(*samples)
                                                                   : LevelTable());
}

} // namespace kestrova
