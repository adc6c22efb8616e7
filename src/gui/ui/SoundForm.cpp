#include "gui/ui/SoundForm.h"

#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormParts.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/ValueBar.h"
#include "gui/ui/WaveformView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

using formparts::place;

namespace {

// Shows a file path shortened in the middle so drive and file name both stay visible.
class PathLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter p(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(area, int(alignment()), shown);
    }
};

LabelButton* speedButton(QWidget* parent, const char* name, int x, const QString& caption) {
    auto* button = place<LabelButton>(parent, name, QRect(x, 92, 38, 20), caption);
    showReleased(button);
    return button;
}

} // namespace

SoundForm::SoundForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm_Oszi"));
    formparts::useFormFont(this);
    formparts::makeFixedWindow(this, QStringLiteral("Soundfenster"), QSize(330, 174));

    frx1 = place<WaveformView>(this, "frx1", QRect(6, 6, WaveformView::kWidth, WaveformView::kHeight));

    lblFile = place<PathLabel>(this, "lblFile", QRect(6, 73, 318, 15));
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() - 1);
    lblFile->setFont(small);
    lblFile->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblFreqNorm = speedButton(this, "lblFreqNorm", 6, QStringLiteral("1x"));
    lblFreq1 = speedButton(this, "lblFreq1", 46, QStringLiteral("1,1x"));
    lblFreq2 = speedButton(this, "lblFreq2", 86, QStringLiteral("1,3x"));
    lblFreq3 = speedButton(this, "lblFreq3", 126, QStringLiteral("1,5x"));
    for (LabelButton* b : {lblFreqNorm, lblFreq1, lblFreq2, lblFreq3}) {
        b->setToolTip(QStringLiteral("Wiedergabegeschwindigkeit"));
    }
    lbl_sek = place<QLabel>(this, "lbl_sek", QRect(170, 92, 64, 20), QStringLiteral("0.00 s"));
    lbl_sek->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_TX = place<LabelButton>(this, "lbl_TX", QRect(246, 92, 40, 20), QStringLiteral("TX"));
    showReleased(lbl_TX);

    slider = place<QSlider>(this, "slider", QRect(6, 118, 280, 20), Qt::Horizontal);
    slider->setRange(0, 1000000);
    slider->setToolTip(QStringLiteral("Abspielposition"));

    sli_Lautst = place<QSlider>(this, "sli_Lautst", QRect(304, 90, 20, 78), Qt::Vertical);
    sli_Lautst->setRange(0, 65535);
    sli_Lautst->setInvertedAppearance(true);
    // Up keys and wheel move the handle up, i.e. louder.
    sli_Lautst->setInvertedControls(true);
    sli_Lautst->setToolTip(QStringLiteral("Lautstärke"));

    pro1 = place<ValueBar>(this, "pro1", QRect(306, 6, 18, WaveformView::kHeight));
    pro1->setOrientation(Qt::Vertical);
    pro1->setRange(0, 32785);
    pro1->setValue(0);
    pro1->setTextVisible(false);
    pro1->setToolTip(QStringLiteral("Spitzenpegel"));

    cmdStop = place<QPushButton>(this, "cmdStop", QRect(6, 144, 70, 24), QStringLiteral("Stop"));
    cmd_Unterbrechen =
        place<QPushButton>(this, "cmd_Unterbrechen", QRect(80, 144, 70, 24), QStringLiteral("Pause"));
    cmd_Unterbrechen->setToolTip(QStringLiteral("Gedrückt halten, um anzuhalten"));
    // Only there to hold the focus and catch keys; kept small and unobtrusive.
    ed1 = place<QLineEdit>(this, "ed1", QRect(160, 148, 12, 16));
    ed1->setFrame(false);
    cmd_Os_Zurück =
        place<QPushButton>(this, "cmd_Os_Zurück", QRect(216, 144, 70, 24), QStringLiteral("Zurück"));

    frx1_mouse = frx1->mouseEvents();
    lblFreqNorm_mouse = watchMouse(lblFreqNorm);
    lblFreq1_mouse = watchMouse(lblFreq1);
    lblFreq2_mouse = watchMouse(lblFreq2);
    lblFreq3_mouse = watchMouse(lblFreq3);
    slider_mouse = watchMouse(slider);
    cmdStop_mouse = watchMouse(cmdStop);
    cmd_Unterbrechen_mouse = watchMouse(cmd_Unterbrechen);
    lbl_TX_mouse = watchMouse(lbl_TX);
    ed1_keys = watchKeys(ed1);
}

} // namespace kestrova
