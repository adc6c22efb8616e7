#include "player/SoundWindowView.h"

#include "player/Waveform.h"
#include "services/Services.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"
#include "ui/ValueBar.h"
#include "ui/WaveformView.h"

#include <QColor>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <array>

namespace kestrova {

namespace {

const QColor kWaveColor(0, 255, 255);

std::array<LabelButton*, 4> speedLabels(const SoundForm& sound) {
    return {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3};
}

} // namespace

void SoundWindowView::setSlider(long long value) {
    QSlider* slider = program_.frm_Oszi->slider;
    slider->setValue(static_cast<int>(std::clamp<long long>(value, slider->minimum(), slider->maximum())));
}

int SoundWindowView::sliderValue() const {
    return program_.frm_Oszi->slider->value();
}

int SoundWindowView::sliderPosition() const {
    return program_.frm_Oszi->slider->sliderPosition();
}

void SoundWindowView::setMainWindowEnabled(bool enabled) {
    if (program_.frm_DoKu != nullptr) {
        program_.frm_DoKu->setEnabled(enabled);
    }
}

void SoundWindowView::showSpeedPressed(int speed) {
    const std::array<LabelButton*, 4> labels = speedLabels(*program_.frm_Oszi);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i]->setBorder(int(i) == speed ? LabelBorder::Sunken : LabelBorder::Raised);
    }
}

void SoundWindowView::showSpeedControls() {
    SoundForm& sound = *program_.frm_Oszi;
    for (LabelButton* label : speedLabels(sound)) {
        label->setVisible(true);
    }
    sound.cmdStop->setVisible(true);
}

void SoundWindowView::showFileName(const QString& path) {
    program_.frm_Oszi->lblFile->setText(QDir::toNativeSeparators(path));
}

void SoundWindowView::showNoFile() {
    SoundForm& sound = *program_.frm_Oszi;
    setSlider(0);
    levelTable_ = LevelTable();
    sound.frx1->clear();
    sound.lblFile->clear();
    sound.lblFile->setToolTip(QString());
    for (LabelButton* label : speedLabels(sound)) {
        label->setVisible(false);
    }
}

void SoundWindowView::showFailure(const QString& message, const QString& path) {
    QLabel* label = program_.frm_Oszi->lblFile;
    label->setText(message);
    label->setToolTip(QDir::toNativeSeparators(path));
}

void SoundWindowView::drawWaveform(const WaveInfo& info, QIODevice* samples) {
    WaveformView& area = *program_.frm_Oszi->frx1;
    for (const WaveformLine& line : waveformLines(info, samples)) {
        area.drawLine(line.from, line.to, kWaveColor);
    }
}

void SoundWindowView::updatePlaybackMeter() {
    const std::optional<int> level = levelTable_.levelAt(sliderValue());
    if (!level) {
        return;
    }
    if (const std::optional<int> shown = followPeak(meterPeak_, *level)) {
        ValueBar* bar = program_.frm_Oszi->pro1;
        bar->setValue(qBound(bar->minimum(), *shown, bar->maximum()));
    }
}

} // namespace kestrova
