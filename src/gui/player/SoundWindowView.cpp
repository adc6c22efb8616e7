#include "gui/player/SoundWindowView.h"

#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/Waveform.h"
#include "gui/ui/Forms.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"
#include "gui/ui/WaveformView.h"

#include <QColor>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <array>

namespace kestrova {

namespace {

const QColor kWaveColor(0, 255, 255);

std::array<LabelButton*, 4> speedLabels(const SoundForm& sound) {
    return {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3};
}

} // namespace

// Direct connections: a handler that moves the slider and later reads the
// window finds it moved, as when it set the widget itself.
void SoundWindowView::bindSoundWindow(Playback& playback, SoundFileLoader& loader) {
    SoundForm& sound = *forms_.frm_Oszi;
    QSlider* slider = sound.slider;
    QObject::connect(&playback, &Playback::sliderChanged, slider, &QSlider::setValue);
    // Whatever moves the widget, the user's hand or a fellow subsystem, moves the playback's slider.
    QObject::connect(slider, &QSlider::valueChanged, &playback, &Playback::takeSliderValue);
    playback.takeSliderValue(slider->value());
    QObject::connect(&playback, &Playback::speedPressed, &sound,
                     [this](int speed) { showSpeedPressed(speed); });
    QObject::connect(&playback, &Playback::levelChanged, &sound, [this](int level) { showLevel(level); });
    QObject::connect(&playback, &Playback::failed, &sound,
                     [this](const QString& message, const QString& path) { showFailure(message, path); });
    QObject::connect(&playback, &Playback::focusKeyField, &sound, [&sound](const QString& seconds) {
        sound.ed1->setFocus();
        sound.lbl_sek->setText(seconds + QStringLiteral(" s"));
    });

    QObject::connect(&loader, &SoundFileLoader::mainWindowEnabled, &sound,
                     [this](bool enabled) { setMainWindowEnabled(enabled); });
    QObject::connect(&loader, &SoundFileLoader::windowWanted, &sound, &QWidget::show);
    QObject::connect(&loader, &SoundFileLoader::fileNamed, &sound,
                     [this](const QString& path) { showFileName(path); });
    QObject::connect(&loader, &SoundFileLoader::fileLoaded, &sound, [this](const QString& path) {
        showSpeedControls();
        showFileName(path);
    });
    QObject::connect(&loader, &SoundFileLoader::waveformDrawn, &sound,
                     [this](const std::vector<WaveformLine>& lines) { drawWaveform(lines); });
    QObject::connect(&loader, &SoundFileLoader::fileGone, &sound, [this] { showNoFile(); });
}

void SoundWindowView::bindMainWindow(Playback& playback, SoundFileLoader& loader) {
    MainForm& main = *forms_.frm_DoKu;
    QObject::connect(&playback, &Playback::deletionAllowed, main.cmd_File_lö, &QWidget::setEnabled);
    QObject::connect(&loader, &SoundFileLoader::deletionAllowed, main.cmd_File_lö, &QWidget::setEnabled);
    LabelButton* label = main.lbl_LoadWave;
    QObject::connect(&loader, &SoundFileLoader::choosingChanged, label, [label](bool choosing) {
        label->setBorder(choosing ? LabelBorder::Sunken : LabelBorder::Flat);
    });
}

void SoundWindowView::setMainWindowEnabled(bool enabled) {
    if (forms_.frm_DoKu != nullptr) {
        forms_.frm_DoKu->setEnabled(enabled);
    }
}

void SoundWindowView::showSpeedPressed(int speed) {
    const std::array<LabelButton*, 4> labels = speedLabels(*forms_.frm_Oszi);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i]->setBorder(int(i) == speed ? LabelBorder::Sunken : LabelBorder::Raised);
    }
}

void SoundWindowView::showSpeedControls() {
    SoundForm& sound = *forms_.frm_Oszi;
    for (LabelButton* label : speedLabels(sound)) {
        label->setVisible(true);
    }
    sound.cmdStop->setVisible(true);
}

void SoundWindowView::showFileName(const QString& path) {
    forms_.frm_Oszi->lblFile->setText(QDir::toNativeSeparators(path));
}

void SoundWindowView::showNoFile() {
    SoundForm& sound = *forms_.frm_Oszi;
    sound.frx1->clear();
    sound.lblFile->clear();
    sound.lblFile->setToolTip(QString());
    for (LabelButton* label : speedLabels(sound)) {
        label->setVisible(false);
    }
}

void SoundWindowView::showFailure(const QString& message, const QString& path) {
    QLabel* label = forms_.frm_Oszi->lblFile;
    label->setText(message);
    label->setToolTip(QDir::toNativeSeparators(path));
}

void SoundWindowView::drawWaveform(const std::vector<WaveformLine>& lines) {
    WaveformView& area = *forms_.frm_Oszi->frx1;
    for (const WaveformLine& line : lines) {
        area.drawLine(line.from, line.to, kWaveColor);
    }
}

void SoundWindowView::showLevel(int level) {
    ValueBar* bar = forms_.frm_Oszi->pro1;
    bar->setValue(qBound(bar->minimum(), level, bar->maximum()));
}

} // namespace kestrova
