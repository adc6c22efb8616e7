#include "player/Player.h"

#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "platform/Dialogs.h"
#include "platform/SoundFileProbe.h"
#include "platform/SoundPlayer.h"
#include "services/Services.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace kestrova {

namespace {

constexpr long long kMillionths = 1'000'000;
// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;
// What a fresh window starts from: beyond kLastStartPos, so the beginning.
constexpr long long kFreshStartPos = 10'000'000;
// Recordings this long or longer get no level table.
constexpr double kLevelTableSeconds = 200;

QString openCommand(const QString& path) {
    const QString name = path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    return QStringLiteral("open ") + name + QStringLiteral(" alias waveplayfile");
}

FileDialogRequest waveFileRequest(const QString& startFolder) {
    return {QStringLiteral("Open Wave File"), startFolder, QStringLiteral("Sound Files"),
            QStringLiteral("*.wav")};
}

// Opens a plain file for reading; pipes and devices could block the reads.
bool openPlainFile(QFile& file) {
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

} // namespace

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

// --- playback -------------------------------------------------------------------------------

void Player::startPlayback() {
    if (loadedFile().trimmed().isEmpty()) {
        return;
    }
    file_.setCurrent(loadedFile());
    // A held transmission is the only sound on the air until it ends.
    if (!QFileInfo(currentFile()).isFile() || program_.transmitter().isHeld()) {
        return;
    }
    if (playback_.playing) {
        // The alias can be open only once; a second open would fail and leave the old one playing.
        stopPlayback();
    }
    if (send(openCommand(currentFile())).error != 0) {
        return;
    }
    send(QStringLiteral("set waveplayfile time format ms"));
    const CommandResult length = send(QStringLiteral("status waveplayfile length"));
    if (length.error != 0) {
        send(QStringLiteral("close waveplayfile"));
        return;
    }
    PlaybackState& state = playback_;
    state.playLength = roundToWhole(numericValue(length.reply));
    state.pos = state.startPos > kLastStartPos ? 0 : state.startPos;
    state.pos = roundToWhole(state.pos * double(state.playLength) * 0.000001);
    state.playing = true;
    state.lastPolledPos = -1;
    if (!seekAndPlay(state.pos)) {
        playbackFailed(QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));
        return;
    }
    tmrplaywave.start();
}

void Player::stopPlayback() {
    if (playback_.playing) {
        send(QStringLiteral("stop waveplayfile"));
        send(QStringLiteral("close waveplayfile"));
        playback_.playing = false;
        tmrplaywave.stop();
    }
    // The header of a file may be read while the sound window is set up, before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        tmr_Focus.stop();
    }
}

// The card refused to play or gave up: the player ends Stopped, and whatever was
// keyed for this playback is let go, as the stop button would.
void Player::playbackFailed(const QString& message) {
    stopPlayback();
    view_.showSpeedPressed(SoundWindowView::kNoSpeed);
    showReleased(program_.frm_Oszi->lbl_TX);
    program_.transmitter().transmitterOff();
    view_.showFailure(message, currentFile());
}

// A device that stopped by itself before the end says so only when asked; it is
// asked when the position stands still.
bool Player::deviceStoppedEarly(long long position) {
    return playback_.stalledAt(position) &&
           send(QStringLiteral("status waveplayfile mode")).reply == QLatin1String("stopped");
}

void Player::tmrplaywave_Timer() {
    if (!playback_.playing) {
        return;
    }
    const CommandResult position = send(QStringLiteral("status waveplayfile position"));
    if (position.error != 0) {
        // The device has gone: stop as the stop button does, so nothing stays keyed.
        stopPlayback();
        cmdStop_Click();
        return;
    }
    PlaybackState& state = playback_;
    state.pos = roundToWhole(numericValue(position.reply));
    if (state.pos >= state.playLength || state.playLength <= 0) {
        state.pos = kMillionths;
        stopPlayback();
        cmdStop_Click();
        playNextInList();
    } else if (deviceStoppedEarly(state.pos)) {
        state.pos = roundToWhole(state.pos * double(kMillionths) / double(state.playLength));
        view_.setSlider(state.pos);
        state.startPos = state.pos;
        playbackFailed(QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
        return;
    } else {
        state.pos = roundToWhole(state.pos * double(kMillionths) / double(state.playLength));
    }
    view_.setSlider(state.pos);
    updatePlaybackMeter();
}

void Player::slider_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    // The timer must not move the slider under the user's hand.
    if (playback_.playing) {
        tmrplaywave.stop();
    }
}

void Player::slider_Action(int action) {
    if (action != QAbstractSlider::SliderNoAction) {
        slider_Scroll();
    }
}

void Player::slider_Scroll() {
    if (!playback_.playing) {
        return;
    }
    playback_.pos = roundToWhole(view_.sliderPosition() * double(playback_.playLength) * 0.000001);
    seekAndPlay(playback_.pos);
}

void Player::slider_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmrplaywave.start();
    if (!playback_.playing) {
        startPlayback();
    }
}

void Player::frx1_MouseDown(int button, int /*shift*/, int x, int /*y*/) {
    if (button == mousebutton::Left) {
        lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
        lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
        view_.setSlider(wholePart(x * double(kMillionths) / kSeekWidth));
        if (playback_.playing) {
            playback_.pos = sliderMilliseconds();
            seekAndPlay(playback_.pos);
        }
        return;
    }
    program_.platform().dialogs.message(
        QStringLiteral("x!") + QString::number(x) + QStringLiteral(" Play_Len") +
            QString::number(playback_.playLength) + QStringLiteral("pos%") + QString::number(playback_.pos),
        QString(), MessageButtons::Ok, MessageIcon::None);
}

void Player::cmd_Unterbrechen_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playback_.playing) {
        return;
    }
    tmr_Focus.stop();
    send(QStringLiteral("stop waveplayfile"));
    playback_.paused = true;
    tmrplaywave.stop();
}

void Player::cmd_Unterbrechen_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playback_.playing) {
        return;
    }
    tmr_Focus.start();
    playback_.pos = sliderMilliseconds();
    seekAndPlay(playback_.pos);
    tmrplaywave.start();
}

void Player::connectStopButton() {
    SoundForm& sound = *program_.frm_Oszi;
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { cmdStop_MouseDown(b, s, x, y); });
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { cmdStop_MouseUp(b, s, x, y); });
    // The button reports its click while the release is still being delivered;
    // queued, the click follows the mouse-up as the handlers expect.
    QObject::connect(
        sound.cmdStop, &QPushButton::clicked, &sound, [this] { cmdStop_Click(); }, Qt::QueuedConnection);
}

void Player::cmdStop_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmr_Focus.stop();
    stopPlayback();
    tmrplaywave.stop();
    view_.showSpeedPressed(SoundWindowView::kNoSpeed);
    playback_.startPos = playback_.pos;
    tmr_Focus.stop();
}

void Player::cmdStop_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmr_Focus.stop();
    if (!program_.frm_DoKu->chk_Start->isChecked()) {
        program_.frm_DoKu->cmd_File_lö->setEnabled(true);
    }
}

void Player::cmdStop_Click() {
    cmdStop_MouseDown(mousebutton::Left, 0, 0, 0);
    showReleased(program_.frm_Oszi->lbl_TX);
    program_.transmitter().transmitterOff();
}

void Player::tmr_Focus_Timer() {
    SoundForm& sound = *program_.frm_Oszi;
    sound.ed1->setFocus();
    sound.lbl_sek->setText(playSecondsText() + QStringLiteral(" s"));
    const long long v = view_.sliderValue();
    if (v * double(playback_.playLength) / double(kMillionths) <= double(v)) {
        tmr_Focus.stop();
        if (!program_.frm_DoKu->chk_Start->isChecked()) {
            cmdStop_MouseUp(mousebutton::Left, 0, 0, 0);
        }
    }
}

void Player::ed1_KeyDown(int keyCode, int /*shift*/) {
    program_.frm_Oszi->ed1->setText(QString::number(keyCode));
    if (keyCode == keycode::Space) {
        program_.transmitter().lbl_TX_Click();
    }
}

void Player::ed1_KeyUp(int /*keyCode*/, int /*shift*/) {}

void Player::tmr1_Timer() {
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    tmr1.stop();
}

// --- speeds and continuous play ------------------------------------------------------------

QString Player::rxWavePath() const {
    return QDir(program_.programFolder()).filePath(QStringLiteral("rx.wav"));
}

void Player::prepareSpeedCopies(bool headerPassed) {
    if (headerPassed && QFileInfo(currentFile()).isFile()) {
        speeds_.setSource(currentFile());
    }
}

void Player::reloadPlayerFile() {
    tmrplaywave.stop();
    file_.dropFolder();
    view_.setSlider(playback_.startPos);
    readWaveHeader(currentFile());
    program_.frm_DoKu->cmd_File_lö->setEnabled(false);
}

void Player::lblFreqNorm_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    view_.showSpeedPressed(0);
    // Normal speed restarts where the last start began, not where playback is now.
    view_.setSlider(playback_.startPos);
    stopPlayback();
    tmrplaywave.stop();
    tmr_Focus.start();
}

void Player::lblFreqNorm_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    file_.setCurrent(originalFile());
    reloadPlayerFile();
    startPlayback();
    view_.setSlider(playback_.startPos);
    tmr_Focus.start();
}

void Player::pressFasterLabel(int speed) {
    view_.showSpeedPressed(speed);
    // A faster speed goes on at the fraction that the playback had reached.
    playback_.startPos = playback_.pos;
    view_.setSlider(playback_.startPos);
    stopPlayback();
    tmrplaywave.stop();
    tmr_Focus.start();
}

void Player::releaseFasterLabel(int speed) {
    const QString rx = rxWavePath();
    if (!speeds_.write(speed, rx)) {
        // An old rx.wav would play another recording: stay stopped instead.
        view_.showSpeedPressed(SoundWindowView::kNoSpeed);
        return;
    }
    file_.setCurrent(rx);
    reloadPlayerFile();
    if (loadedFile() != rx) {
        // The copy's header was refused, so the file named by loadedFile is not the copy.
        view_.showSpeedPressed(SoundWindowView::kNoSpeed);
        return;
    }
    startPlayback();
    view_.setSlider(playback_.startPos);
}

void Player::lblFreq1_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(1);
}

void Player::lblFreq1_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(1);
}

void Player::lblFreq2_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(2);
}

void Player::lblFreq2_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(2);
}

void Player::lblFreq3_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(3);
}

void Player::lblFreq3_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(3);
}

void Player::playNextInList() {
    if (!program_.frm_Einstellungen->chkFortlaufend->isChecked()) {
        return;
    }
    RecordingListView* list = program_.frm_DoKu->lb_Sounds;
    const int next = list->currentRow() + 1;
    // After the last entry continuous play ends, with the slider at the end.
    if (next >= list->count()) {
        return;
    }
    list->setCurrentRow(next);
    program_.platform().sounds.stop();
    file_.setCurrent(listCalls.entryPath(next));
    loadCurrentFile();
    tmr_NachStop.start();
    tmrplaywave.start();
}

void Player::tmr_NachStop_Timer() {
    listCalls.pressEntry();
    listCalls.releaseEntry();
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    tmr_NachStop.stop();
}

// --- the window, the file dialog and loading -----------------------------------------------

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

void Player::updatePlaybackMeter() {
    view_.updatePlaybackMeter();
}

void Player::cmd_Os_Zurück_Click() {
    // Playback goes on: the window only gets out of the way.
    program_.frm_Oszi->hide();
}

} // namespace kestrova
