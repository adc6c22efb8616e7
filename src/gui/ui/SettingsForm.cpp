#include "gui/ui/SettingsForm.h"

#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrova {

using formparts::place;

namespace {

// A column inside a frame: caption from x 8, field from fieldX, unit/hint after the field.
struct Column {
    int width;
    int fieldX;
};

constexpr Column kLeft{220, 118};
constexpr Column kRight{244, 138};
constexpr int kRowHeight = 24;
constexpr int kNumberWidth = 46;

QLabel* caption(QWidget* frame, const char* name, Column c, int y, const QString& text,
                bool fullWidth = false) {
    const int width = fullWidth ? c.width - 16 : c.fieldX - 10;
    auto* label = place<QLabel>(frame, name, QRect(8, y + 1, width, 18), text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit* numberField(QWidget* frame, const char* name, Column c, int y, QLabel* label) {
    auto* edit = place<QLineEdit>(frame, name, QRect(c.fieldX, y, kNumberWidth, 20));
    edit->setAlignment(Qt::AlignRight);
    label->setBuddy(edit);
    return edit;
}

QLabel* unit(QWidget* frame, const char* name, Column c, int y, const QString& text) {
    const int x = c.fieldX + kNumberWidth + 4;
    return place<QLabel>(frame, name, QRect(x, y + 1, c.width - 8 - x, 18), text);
}

QComboBox* comboField(QWidget* frame, const char* name, Column c, int y, QLabel* label, bool editable) {
    auto* combo = place<QComboBox>(frame, name, QRect(c.fieldX, y - 1, c.width - c.fieldX - 8, 22));
    combo->setEditable(editable);
    // The lists are filled once at start; what the user types is a value, not a new entry.
    combo->setInsertPolicy(QComboBox::NoInsert);
    label->setBuddy(combo);
    return combo;
}

QCheckBox* option(QWidget* frame, const char* name, Column c, int y, const QString& text) {
    return place<QCheckBox>(frame, name, QRect(8, y, c.width - 16, 20), text);
}

} // namespace

SettingsForm::SettingsForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm_Einstellungen"));
    formparts::useFormFont(this);
    formparts::makeFixedWindow(this, QStringLiteral("Einstellungen"), QSize(480, 382));

    const QString keptOnly = QStringLiteral("Wird gespeichert, hat derzeit keine Wirkung.");
    const Column L = kLeft;
    const Column R = kRight;

    // Left column: audio
    fr5 = place<QGroupBox>(this, "fr5", QRect(4, 4, L.width, 230), QStringLiteral("Audio"));
    lbl3 = caption(fr5, "lbl3", L, 17, QStringLiteral("Eingabegerät"), true);
    cb_Device = place<QComboBox>(fr5, "cb_Device", QRect(8, 36, L.width - 16, 22));
    lbl3->setBuddy(cb_Device);
    int y = 62;
    lbl5 = caption(fr5, "lbl5", L, y, QStringLiteral("Abtastrate"));
    cb_Sample = comboField(fr5, "cb_Sample", L, y, lbl5, false);
    y += kRowHeight;
    lbl7 = caption(fr5, "lbl7", L, y, QStringLiteral("Kanal"));
    // Takes the confirmed device position as text, which is not one of its items.
    cb_Kanal = comboField(fr5, "cb_Kanal", L, y, lbl7, true);
    y += kRowHeight + 2;
    cmd_SK = place<QPushButton>(fr5, "cmd_SK", QRect(8, y, L.width - 16, 24),
                                QStringLiteral("Soundkarte übernehmen"));
    y += 30;
    lbl10 = caption(fr5, "lbl10", L, y, QStringLiteral("Pegel-Intervall"));
    ed_Interval = numberField(fr5, "ed_Interval", L, y, lbl10);
    lbl33 = unit(fr5, "lbl33", L, y, QStringLiteral("10 ms"));
    y += kRowHeight;
    lbl13 = caption(fr5, "lbl13", L, y, QStringLiteral("Lautstärke"));
    lbl13->setToolTip(QStringLiteral("Lautstärke der Wiedergabe"));
    ed_PlayPegel = numberField(fr5, "ed_PlayPegel", L, y, lbl13);
    lbl14 = unit(fr5, "lbl14", L, y, QStringLiteral("%"));
    y += kRowHeight;
    chk_Log_Anz = option(fr5, "chk_Log_Anz", L, y, QStringLiteral("Pegel logarithmisch anzeigen"));
    y += 20;
    chk_Sichtbar = option(fr5, "chk_Sichtbar", L, y, QStringLiteral("Pegel sichtbar"));
    chk_Sichtbar->setToolTip(keptOnly);

    // Left column: transmitter and parrot
    fr7 = place<QGroupBox>(this, "fr7", QRect(4, 238, L.width, 140),
                           QStringLiteral("Sendersteuerung / Papagei"));
    chk_TX = option(fr7, "chk_TX", L, 17, QStringLiteral("Sender über COM-Port tasten"));
    y = 42;
    lbl28 = caption(fr7, "lbl28", L, y, QStringLiteral("COM-Port"));
    cb_Com = comboField(fr7, "cb_Com", L, y, lbl28, true);
    y += kRowHeight;
    lbl29 = caption(fr7, "lbl29", L, y, QStringLiteral("PTT-Leitung"));
    cb_PIN = comboField(fr7, "cb_PIN", L, y, lbl29, true);
    y += kRowHeight;
    lbl30 = caption(fr7, "lbl30", L, y, QStringLiteral("Squelch-Leitung"));
    cb_PIN_RX = comboField(fr7, "cb_PIN_RX", L, y, lbl30, true);
    y += kRowHeight + 2;
    chkPapagei = place<QCheckBox>(fr7, "chkPapagei", QRect(8, y, 80, 20), QStringLiteral("Papagei"));
    lbl2 = place<QLabel>(fr7, "lbl2", QRect(84, y + 1, L.width - 8 - kNumberWidth - 4 - 84, 18),
                         QStringLiteral("CQ-Pause (s)"));
    lbl2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ed_CQ = place<QLineEdit>(fr7, "ed_CQ", QRect(L.width - 8 - kNumberWidth, y, kNumberWidth, 20));
    ed_CQ->setAlignment(Qt::AlignRight);
    lbl2->setBuddy(ed_CQ);

    // Right column: recording
    const int right = 4 + L.width + 8;
    fr6 = place<QGroupBox>(this, "fr6", QRect(right, 4, R.width, 342), QStringLiteral("Aufnahme"));
    lbl15 = caption(fr6, "lbl15", R, 17, QStringLiteral("Dokumentationsordner"), true);
    ed_PfadDoku = place<QLineEdit>(fr6, "ed_PfadDoku", QRect(8, 36, R.width - 16 - 32, 20));
    lbl15->setBuddy(ed_PfadDoku);
    cmdPfad = place<QPushButton>(fr6, "cmdPfad", QRect(R.width - 8 - 28, 35, 28, 22), QStringLiteral("..."));
    cmdPfad->setToolTip(QStringLiteral("Ordner wählen"));
    y = 62;
    lbl16 = caption(fr6, "lbl16", R, y, QStringLiteral("Name des Funkkreises"));
    ed_FunkName = place<QLineEdit>(fr6, "ed_FunkName", QRect(R.fieldX, y, R.width - R.fieldX - 8, 20));
    lbl16->setBuddy(ed_FunkName);
    y += kRowHeight;
    lbl_FK = caption(fr6, "lbl_FK", R, y, QStringLiteral("Funkkreis"));
    ed_FK = numberField(fr6, "ed_FK", R, y, lbl_FK);
    y += kRowHeight;
    lbl17 = caption(fr6, "lbl17", R, y, QStringLiteral("Startpegel"));
    ed_StartPegel = numberField(fr6, "ed_StartPegel", R, y, lbl17);
    lbl18 = unit(fr6, "lbl18", R, y, QStringLiteral("(0–100)"));
    y += kRowHeight;
    lbl19 = caption(fr6, "lbl19", R, y, QStringLiteral("Aufnahme mindestens"));
    ed_AufnZeitMin = numberField(fr6, "ed_AufnZeitMin", R, y, lbl19);
    lbl20 = unit(fr6, "lbl20", R, y, QStringLiteral("s"));
    y += kRowHeight;
    lbl21 = caption(fr6, "lbl21", R, y, QStringLiteral("Aufnahme höchstens"));
    ed_AufnZeitMax = numberField(fr6, "ed_AufnZeitMax", R, y, lbl21);
    lbl22 = unit(fr6, "lbl22", R, y, QStringLiteral("s"));
    y += kRowHeight;
    lbl23 = caption(fr6, "lbl23", R, y, QStringLiteral("Pause nach Stille"));
    ed_PauseStille = numberField(fr6, "ed_PauseStille", R, y, lbl23);
    lbl24 = unit(fr6, "lbl24", R, y, QStringLiteral("s"));
    y += kRowHeight;
    lbl25 = caption(fr6, "lbl25", R, y, QStringLiteral("Pause nach Signal"));
    ed_PauseSignal = numberField(fr6, "ed_PauseSignal", R, y, lbl25);
    ed_PauseSignal->setToolTip(keptOnly);
    lbl32 = unit(fr6, "lbl32", R, y, QStringLiteral("s"));
    y += kRowHeight;
    lbl26 = caption(fr6, "lbl26", R, y, QStringLiteral("Aufnahmen behalten"));
    ed_FilesLöschen = numberField(fr6, "ed_FilesLöschen", R, y, lbl26);
    lbl27 = unit(fr6, "lbl27", R, y, QStringLiteral("Tage"));
    y += kRowHeight + 4;
    chk_StartAuto = option(fr6, "chk_StartAuto", R, y, QStringLiteral("Recorder automatisch starten"));
    y += 21;
    chk_AufnDoku = option(fr6, "chk_AufnDoku", R, y, QStringLiteral("In Tagesordnern archivieren"));
    y += 21;
    chkFortlaufend = option(fr6, "chkFortlaufend", R, y, QStringLiteral("Fortlaufend abspielen"));
    y += 21;
    chk_Sichtbar2 = option(fr6, "chk_Sichtbar2", R, y, QStringLiteral("Einstellungen beim Start zeigen"));

    cmd_Speichern =
        place<QPushButton>(this, "cmd_Speichern", QRect(right, 352, 114, 26), QStringLiteral("Speichern"));
    cmd_Zurück = place<QPushButton>(this, "cmd_Zurück", QRect(right + R.width - 114, 352, 114, 26),
                                    QStringLiteral("Zurück"));

    cb_PIN_keys = new KeyPressFilter(cb_PIN);
    cb_PIN_RX_keys = new KeyPressFilter(cb_PIN_RX);
    ed_Interval_mouse = watchMouse(ed_Interval);
    cmd_Speichern_mouse = watchMouse(cmd_Speichern);
}

} // namespace kestrova
