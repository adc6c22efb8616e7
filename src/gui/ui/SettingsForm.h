#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrova {

class KeyPressFilter;
class MouseEvents;

// frm_Einstellungen: the settings. The combo boxes start empty; the program fills them.
class SettingsForm : public QWidget {
    Q_OBJECT
public:
    explicit SettingsForm(QWidget* parent = nullptr);

    // Audio
    QGroupBox* fr5;
    QLabel* lbl3;
    QComboBox* cb_Device;
    QLabel* lbl5;
    QComboBox* cb_Sample;
    QLabel* lbl7;
    QComboBox* cb_Kanal;
    QPushButton* cmd_SK;
    QLabel* lbl10;
    QLineEdit* ed_Interval;
    QLabel* lbl33;
    QLabel* lbl13;
    QLineEdit* ed_PlayPegel;
    QLabel* lbl14;
    QCheckBox* chk_Log_Anz;
    QCheckBox* chk_Sichtbar;

    // Recording
    QGroupBox* fr6;
    QLabel* lbl15;
    QLineEdit* ed_PfadDoku;
    QPushButton* cmdPfad;
    QLabel* lbl16;
    QLineEdit* ed_FunkName;
    QLabel* lbl_FK;
    QLineEdit* ed_FK;
    QLabel* lbl17;
    QLineEdit* ed_StartPegel;
    QLabel* lbl18;
    QLabel* lbl19;
    QLineEdit* ed_AufnZeitMin;
    QLabel* lbl20;
    QLabel* lbl21;
    QLineEdit* ed_AufnZeitMax;
    QLabel* lbl22;
    QLabel* lbl23;
    QLineEdit* ed_PauseStille;
    QLabel* lbl24;
    QLabel* lbl25;
    QLineEdit* ed_PauseSignal;
    QLabel* lbl32;
    QLabel* lbl26;
    QLineEdit* ed_FilesLöschen;
    QLabel* lbl27;
    QCheckBox* chk_StartAuto;
    QCheckBox* chk_AufnDoku;
    QCheckBox* chkFortlaufend;
    QCheckBox* chk_Sichtbar2;

    // Transmitter and parrot
    QGroupBox* fr7;
    QCheckBox* chk_TX;
    QLabel* lbl28;
    QComboBox* cb_Com;
    QLabel* lbl29;
    QComboBox* cb_PIN;
    QLabel* lbl30;
    QComboBox* cb_PIN_RX;
    QCheckBox* chkPapagei;
    QLabel* lbl2;
    QLineEdit* ed_CQ;

    QPushButton* cmd_Speichern;
    QPushButton* cmd_Zurück;

    // Typed characters of the editable pin boxes; the program sets the handlers.
    KeyPressFilter* cb_PIN_keys;
    KeyPressFilter* cb_PIN_RX_keys;

    MouseEvents* ed_Interval_mouse;
    MouseEvents* cmd_Speichern_mouse;
};

} // namespace kestrova
