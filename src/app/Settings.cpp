#include "app/Settings.h"

#include "app/Program.h"
#include "app/SettingsFile.h"
#include "app/StatusBar.h"
#include "archive/Archive.h"
#include "common/NumericValue.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPortNames.h"
#include "transmit/AutoCq.h"
#include "transmit/Transmitter.h"
#include "ui/BatchedTimer.h"
#include "ui/FormGeometry.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <climits>
#include <cmath>

namespace kestrova {

namespace {

// A list-only combo box refuses a text that is not one of its items.
bool setComboText(QComboBox* box, const QString& text) {
    if (box->isEditable()) {
        box->setEditText(text);
        return true;
    }
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        return false;
    }
    box->setCurrentIndex(index);
    return true;
}

bool setSliderValue(QSlider* slider, long long value) {
    if (value < slider->minimum() || value > slider->maximum()) {
        return false;
    }
    // The program sets the value; the user's scroll handler must not run.
    const QSignalBlocker blocker(slider);
    slider->setValue(static_cast<int>(value));
    return true;
}

bool fitsInterval(long long milliseconds) {
    return milliseconds >= 0 && milliseconds <= INT_MAX;
}

template <class Timer> bool setTimerInterval(Timer* timer, long long milliseconds) {
    if (!fitsInterval(milliseconds)) {
        return false;
    }
    timer->setInterval(static_cast<int>(milliseconds));
    return true;
}

bool setBarMaximum(QProgressBar* bar, double maximum) {
    const long long whole = roundToWhole(maximum);
    if (whole < 0 || whole > INT_MAX) {
        return false;
    }
    bar->setMaximum(static_cast<int>(whole));
    return true;
}

bool fitsPosition(long long twips) {
    return twips >= INT_MIN / 2 && twips <= INT_MAX / 2;
}

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Settings::Settings(Program& program) : program_(program) {}

QString Settings::filePath() const {
    return settingsFilePath(program_.programFolder());
}

void Settings::createSettingsFile() {
    if (QFile::exists(filePath())) {
        return;
    }
    writeLines(
        defaultSettingsLines(DefaultSet::NewFile, program_.programFolder(), program_.platform().clock.now()));
}

bool Settings::writeLines(const QStringList& lines, const QString& consequence) {
    if (writeSettingsLines(filePath(), lines)) {
        return true;
    }
    program_.platform().dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) +
                                            QStringLiteral("] kann nicht geschrieben werden!") + consequence,
                                        QString(), MessageButtons::Ok, MessageIcon::Stop);
    return false;
}

QString Settings::guessMarkerPath() const {
    return filePath() + QStringLiteral(".grundeinstellung");
}

QString Settings::deletionHold() const {
    const QString prefix = QStringLiteral("Alte Aufnahmen werden nicht gelöscht: ");
    if (damagedDefaults_) {
        return prefix +
               QStringLiteral("Es gilt die Grundeinstellung, bis die Einstellungen gespeichert sind.");
    }
    if (retentionGuessed_) {
        return prefix + QStringLiteral("Die Anzahl der Tage ist keine gültige Zahl.");
    }
    if (minimumGuessed_) {
        return prefix + QStringLiteral("Die minimale Aufnahmezeit ist keine gültige Zahl.");
    }
    return {};
}

void Settings::readSettings() {
    program_.transmitter().autoCq().haltForSettings();

    const bool missing = !QFile::exists(filePath());
    createSettingsFile();
    std::optional<QStringList> lines = readSettingsLines(filePath());
    if (missing && !lines) {
        // The folder cannot be written: run on the new-file defaults all the same.
        lines = defaultSettingsLines(DefaultSet::NewFile, program_.programFolder(),
                                     program_.platform().clock.now());
    }
    if (!lines || !applyLines(*lines)) {
        handleDamagedFile();
    }
    damagedDefaults_ = damagedDefaults_ || QFile::exists(guessMarkerPath());
    runClosingSteps();
}

void Settings::handleDamagedFile() {
    damagedDefaults_ = true;
    QFile marker(guessMarkerPath());
    if (marker.open(QIODevice::WriteOnly)) {
        marker.write("Kestrova.ini enthält die Grundeinstellung nach einer fehlerhaften Datei.\r\n");
    }
    Dialogs& dialogs = program_.platform().dialogs;
    dialogs.message(QStringLiteral("Die Datei [") + QDir::toNativeSeparators(filePath()) +
                        QStringLiteral("] ist fehlerhaft!\r\rProgramm startet in der Grundeinstellung."),
                    QString(), MessageButtons::Ok, MessageIcon::None);

    // Keep what the user had entered before the defaults replace it.
    const QString backup = filePath() + QStringLiteral(".bak");
    if (QFile::exists(filePath())) {
        QFile::remove(backup);
        QFile::copy(filePath(), backup);
    }
    const QStringList defaults = defaultSettingsLines(DefaultSet::DamagedFile, program_.programFolder(),
                                                      program_.platform().clock.now());
    writeLines(defaults);
    // A second failure does not start another rewrite: the defaults always apply.
    const std::optional<QStringList> reread = readSettingsLines(filePath());
    if (!reread || !applyLines(*reread)) {
        applyLines(defaults);
    }
}

bool Settings::applyLines(const QStringList& lines) {
    if (lines.size() < settingsLineCount) {
        return false;
    }
    for (int number = 2; number <= settingsLineCount; ++number) {
        if (!applyLine(number, lines.at(number - 1))) {
            return false;
        }
    }
    return setBarMaximum(program_.frm_DoKu->progressbar4, values.minRecordLimit);
}

bool Settings::applyLine(int number, const QString& text) {
    SettingsForm& form = *program_.frm_Einstellungen;
    MainForm& main = *program_.frm_DoKu;
    const double value = numericValue(text);
    switch (number) {
    case 2:
        form.ed_PfadDoku->setText(text);
        values.docFolder = text.trimmed();
        return true;
    case 3:
        form.ed_FunkName->setText(text);
        main.lbl_LoadWave->setText(text + QStringLiteral(" Sounds"));
        return true;
    case 4:
        if (!setComboText(form.cb_Sample, text)) {
            return false;
        }
        values.meterSampleRate = static_cast<int>(roundToWhole(numericValue(form.cb_Sample->currentText())));
        return true;
    case 5:
        return setComboText(form.cb_Kanal, text);
    case 6:
        form.ed_FK->setText(text);
        values.circuitNumber = roundToWhole(value);
        // Recordings are named by this one digit.
        return values.circuitNumber >= 0 && values.circuitNumber <= 9;
    case 7:
        setComboText(form.cb_Com, text);
        values.comPortName = comPortNameFor(form.cb_Com->currentText());
        return true;
    case 8:
        return applyPins(text);
    case 9:
        form.ed_StartPegel->setText(text);
        main.lbl_Schwelle->setText(numberText(value));
        return setSliderValue(main.sli_Schwelle, roundToWhole(numericValue(form.ed_StartPegel->text())));
    case 10:
        form.ed_AufnZeitMin->setText(text);
        values.minRecordLimit = 10 * value;
        minimumGuessed_ = !isCountableNumber(text);
        return true;
    case 11:
        form.ed_AufnZeitMax->setText(text);
        values.maxRecordLimit = 10 * value;
        return setBarMaximum(main.progressbar3, values.maxRecordLimit);
    case 12:
        form.ed_PauseStille->setText(text);
        values.silencePauseLimit = value;
        return true;
    case 13:
        form.ed_PauseSignal->setText(text);
        return true;
    case 14:
        form.ed_FilesLöschen->setText(text);
        values.retentionDays = value;
        retentionGuessed_ = !isCountableNumber(text);
        main.fr3->setTitle(QStringLiteral("Sounds der letzten ") + numberText(value) +
                           QStringLiteral(" Tage"));
        return true;
    case 15: {
        form.ed_PlayPegel->setText(text);
        const long long slider = std::llabs(wholePart(value * 655.35) - 65535);
        if (!setSliderValue(program_.frm_Oszi->sli_Lautst, slider)) {
            return false;
        }
        values.outputLevel = 65535 - program_.frm_Oszi->sli_Lautst->value();
        program_.transmitter().applyOutputVolume();
        return true;
    }
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 23:
    case 24:
        return applyCheckBox(number, text);
    case 21:
        values.fileCount = roundToWhole(value);
        return true;
    case 22: {
        if (!setTimerInterval(main.tmrPegel, roundToWhole(value))) {
            return false;
        }
        const QString interval = QString::number(main.tmrPegel->interval());
        form.ed_Interval->setText(interval);
        form.lbl33->setText(interval + QStringLiteral(" ms"));
        return true;
    }
    case 25:
        return applyParrotState(text);
    case 26:
        form.ed_CQ->setText(text);
        return setTimerInterval(main.tmrCQ_PAUSE, roundToWhole(value * 1000));
    case 27:
    case 28:
    case 29:
    case 30: {
        const long long twips = roundToWhole(value);
        if (!fitsPosition(twips)) {
            return false;
        }
        QWidget* window = number <= 28 ? static_cast<QWidget*>(&main) : static_cast<QWidget*>(&form);
        if (number % 2 == 1) {
            setLeftTwips(window, static_cast<int>(twips));
        } else {
            setTopTwips(window, static_cast<int>(twips));
        }
        return true;
    }
    default:
        return true;
    }
}

bool Settings::applyPins(const QString& text) {
    SettingsForm& form = *program_.frm_Einstellungen;
    const PinLine pins = unpackPinLine(text);
    setComboText(form.cb_PIN, pins.pttText);
    values.pttPin = roundToWhole(numericValue(form.cb_PIN->currentText()));
    setComboText(form.cb_PIN_RX, pins.squelchText);
    values.squelchPin = roundToWhole(numericValue(form.cb_PIN_RX->currentText().left(1)));
    values.squelchActiveChar = pins.activeChar;
    return true;
}

bool Settings::applyCheckBox(int number, const QString& text) {
    SettingsForm& form = *program_.frm_Einstellungen;
    const long long state = roundToWhole(numericValue(text));
    if (state != 0 && state != 1) {
        return false; // a check box takes only checked or unchecked
    }
    const int checked = static_cast<int>(state);
    switch (number) {
    case 16:
        form.chk_StartAuto->setChecked(checked != 0);
        values.autoStart = checked;
        break;
    case 17:
        form.chk_Sichtbar->setChecked(checked != 0);
        break;
    case 18:
        form.chk_Log_Anz->setChecked(checked != 0);
        values.logLevelDisplay = checked;
        break;
    case 19:
        form.chk_AufnDoku->setChecked(checked != 0);
        values.archiveRecordings = checked;
        break;
    case 20:
        form.chk_TX->setChecked(checked != 0);
        values.txControlEnabled = checked;
        program_.frm_Oszi->lbl_TX->setVisible(checked != 0);
        break;
    case 23:
        form.chk_Sichtbar2->setChecked(checked != 0);
        values.showSettingsAtStart = checked;
        break;
    case 24:
        form.chkFortlaufend->setChecked(checked != 0);
        break;
    default:
        break;
    }
    return true;
}

bool Settings::applyParrotState(const QString& text) {
    SettingsForm& form = *program_.frm_Einstellungen;
    MainForm& main = *program_.frm_DoKu;
    const double state = numericValue(text);
    if (state == 1) {
        showReleased(main.lblCQ);
        main.lblCQ->show();
        form.chkPapagei->setChecked(true);
        form.chkFortlaufend->setChecked(false); // parrot mode and continuous play exclude each other
        main.cmd_PAPA->show();
        return true;
    }
    if (state != 0) {
        main.lblCQ->setEnabled(false);
        main.cmd_PAPA->setEnabled(false);
        form.ed_CQ->hide();
        form.chkPapagei->hide();
        form.lbl2->hide();
    }
    main.lblCQ->hide();
    showReleased(main.lblCQ);
    form.chkPapagei->setChecked(false);
    main.cmd_PAPA->hide();
    return true;
}

void Settings::runClosingSteps() {
    // A message box of the reading may have been open when the end came.
    if (program_.hasEnded()) {
        return;
    }
    MainForm& main = *program_.frm_DoKu;
    program_.transmitter().openControlPort();
    main.lbl_LoadWave->setFixedWidth(static_cast<int>(main.lbl_LoadWave->text().size()) * 105 / 15);
    program_.archive().refreshRecordingList();
    program_.statusBar().buildStatusBar();
    // Opened again only if it opened: a port that failed is reported once.
    if (program_.transmitter().hasControlPort()) {
        program_.transmitter().openControlPort();
    }
}

QStringList Settings::currentLines() {
    SettingsForm& form = *program_.frm_Einstellungen;
    MainForm& main = *program_.frm_DoKu;
    const PackedPins pins = packPinLine(form.cb_PIN->currentText(), form.cb_PIN_RX->currentText());
    form.cb_PIN_RX->setEditText(pins.squelchText);
    values.squelchActiveChar = pins.activeChar;
    return {
        saveNote(program_.programFolder(), program_.platform().clock.now()),
        form.ed_PfadDoku->text(),
        form.ed_FunkName->text(),
        form.cb_Sample->currentText(),
        form.cb_Kanal->currentText(),
        form.ed_FK->text(),
        form.cb_Com->currentText(),
        pins.line,
        form.ed_StartPegel->text(),
        form.ed_AufnZeitMin->text(),
        form.ed_AufnZeitMax->text(),
        form.ed_PauseStille->text(),
        form.ed_PauseSignal->text(),
        form.ed_FilesLöschen->text(),
        form.ed_PlayPegel->text(),
        checkText(form.chk_StartAuto),
        checkText(form.chk_Sichtbar),
        checkText(form.chk_Log_Anz),
        checkText(form.chk_AufnDoku),
        checkText(form.chk_TX),
        QString::number(values.fileCount),
        form.ed_Interval->text(),
        checkText(form.chk_Sichtbar2),
        checkText(form.chkFortlaufend),
        checkText(form.chkPapagei),
        form.ed_CQ->text(),
        QString::number(leftTwips(&main)),
        QString::number(topTwips(&main)),
        QString::number(leftTwips(&form)),
        QString::number(topTwips(&form)),
    };
}

bool Settings::saveSettings() {
    if (!QFile::exists(filePath())) {
        return true;
    }
    const bool saved =
        writeLines(currentLines(), QStringLiteral("\r\rDie bisherige Datei bleibt unverändert."));
    // Saved from the form: the settings in force are now the user's own.
    if (saved) {
        damagedDefaults_ = false;
        QFile::remove(guessMarkerPath());
    }
    program_.frm_DoKu->lblrsp->hide();
    return saved;
}

} // namespace kestrova
