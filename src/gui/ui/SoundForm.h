#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kestrova {

class KeyEvents;
class LabelButton;
class MouseEvents;
class ValueBar;
class WaveformView;

// frm_Oszi: plays one recording and shows its waveform.
class SoundForm : public QWidget {
    Q_OBJECT
public:
    explicit SoundForm(QWidget* parent = nullptr);

    WaveformView* frx1;
    // Long paths are shortened in the middle when shown.
    QLabel* lblFile;

    LabelButton* lblFreqNorm;
    LabelButton* lblFreq1;
    LabelButton* lblFreq2;
    LabelButton* lblFreq3;
    QLabel* lbl_sek;
    LabelButton* lbl_TX;

    QSlider* slider;
    // 0 = full volume, at the top.
    QSlider* sli_Lautst;
    ValueBar* pro1;

    QPushButton* cmdStop;
    QPushButton* cmd_Unterbrechen;
    QLineEdit* ed1;
    QPushButton* cmd_Os_Zurück;

    MouseEvents* frx1_mouse;
    MouseEvents* lblFreqNorm_mouse;
    MouseEvents* lblFreq1_mouse;
    MouseEvents* lblFreq2_mouse;
    MouseEvents* lblFreq3_mouse;
    MouseEvents* slider_mouse;
    MouseEvents* cmdStop_mouse;
    MouseEvents* cmd_Unterbrechen_mouse;
    MouseEvents* lbl_TX_mouse;
    KeyEvents* ed1_keys;
};

} // namespace kestrova
