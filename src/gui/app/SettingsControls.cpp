#include "gui/app/SettingsControls.h"

#include "base/common/NumericValue.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "gui/app/Program.h"
#include "gui/app/Settings.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <cstring>

namespace kestrova {

namespace {

// Most lines are one control of the settings form; the pins share one line, and
// four lines are where the two windows stand.
enum class Holder { Control, Pins, LeftEdge, TopEdge };

struct ControlBinding {
    const char* key;
    Holder holder;
    QWidget* (*widget)(Program& program);
};

template <auto control> QWidget* settingsControl(Program& program) {
    return program.frm_Einstellungen->*control;
}
QWidget* mainWindow(Program& program) {
    return program.frm_DoKu;
}
QWidget* settingsWindow(Program& program) {
    return program.frm_Einstellungen;
}

template <auto control> constexpr ControlBinding field(const char* key) {
    return {key, Holder::Control, settingsControl<control>};
}

using F = SettingsForm;
const std::array kBindings{
    field<&F::ed_PfadDoku>("docFolder"),
    field<&F::ed_FunkName>("circuitName"),
    field<&F::cb_Sample>("sampleRate"),
    field<&F::cb_Kanal>("channel"),
    field<&F::ed_FK>("circuitNumber"),
    field<&F::cb_Com>("comPort"),
    ControlBinding{"pins", Holder::Pins, settingsControl<&F::cb_PIN>},
    field<&F::ed_StartPegel>("startLevel"),
    field<&F::ed_AufnZeitMin>("minimumTime"),
    field<&F::ed_AufnZeitMax>("maximumTime"),
    field<&F::ed_PauseStille>("silencePause"),
    field<&F::ed_PauseSignal>("signalPause"),
    field<&F::ed_FilesLöschen>("keepDays"),
    field<&F::ed_PlayPegel>("volume"),
    field<&F::chk_StartAuto>("autoStart"),
    field<&F::chk_Sichtbar>("levelVisible"),
    field<&F::chk_Log_Anz>("logarithmicLevel"),
    field<&F::chk_AufnDoku>("dailyFolders"),
    field<&F::chk_TX>("transmitterControl"),
    field<&F::ed_Interval>("meterInterval"),
    field<&F::chk_Sichtbar2>("settingsAtStart"),
    field<&F::chkFortlaufend>("continuousPlay"),
    field<&F::chkPapagei>("parrot"),
    field<&F::ed_CQ>("cqPause"),
    ControlBinding{"mainLeft", Holder::LeftEdge, mainWindow},
    ControlBinding{"mainTop", Holder::TopEdge, mainWindow},
    ControlBinding{"settingsLeft", Holder::LeftEdge, settingsWindow},
    ControlBinding{"settingsTop", Holder::TopEdge, settingsWindow},
};

const ControlBinding* bindingOf(const SettingsRow& row) {
    for (const ControlBinding& binding : kBindings) {
        if (std::strcmp(binding.key, row.key) == 0) {
            return &binding;
        }
    }
    return nullptr;
}

// A list-only combo box takes only one of its items; reading has checked that it is.
void setComboText(QComboBox* box, const QString& text) {
    if (box->isEditable()) {
        box->setEditText(text);
    } else {
        box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

void showOnField(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(control)) {
        setComboText(box, text);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setChecked(roundToWhole(numericValue(text)) == 1);
    }
}

QString fieldText(const QWidget* control) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (const auto* box = qobject_cast<const QComboBox*>(control)) {
        return box->currentText();
    }
    const auto* check = qobject_cast<const QCheckBox*>(control);
    return check != nullptr && check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void showPins(SettingsForm& form, const QString& text) {
    const PinLine pins = unpackPinLine(text);
    setComboText(form.cb_PIN, pins.pttText);
    setComboText(form.cb_PIN_RX, pins.squelchText);
}

QString packedPins(Program& program) {
    SettingsForm& form = *program.frm_Einstellungen;
    const PackedPins pins = packPinLine(form.cb_PIN->currentText(), form.cb_PIN_RX->currentText());
    form.cb_PIN_RX->setEditText(pins.squelchText);
    program.settings().store().change(
        [&pins](SettingsValues& values) { values.squelchActiveChar = pins.activeChar; });
    return pins.line;
}

int twips(const QString& text) {
    // Reading has checked that half the range holds it.
    return static_cast<int>(roundToWhole(numericValue(text)));
}

} // namespace

QWidget* controlOf(Program& program, const SettingsRow& row) {
    const ControlBinding* binding = bindingOf(row);
    return binding == nullptr ? nullptr : binding->widget(program);
}

void showOnControl(Program& program, const SettingsRow& row, const QString& text) {
    const ControlBinding* binding = bindingOf(row);
    if (binding == nullptr) {
        return;
    }
    QWidget* widget = binding->widget(program);
    switch (binding->holder) {
    case Holder::Control:
        showOnField(widget, text);
        break;
    case Holder::Pins:
        showPins(*program.frm_Einstellungen, text);
        break;
    case Holder::LeftEdge:
        setLeftTwips(widget, twips(text));
        break;
    case Holder::TopEdge:
        setTopTwips(widget, twips(text));
        break;
    }
}

std::optional<QString> controlText(Program& program, const SettingsRow& row) {
    const ControlBinding* binding = bindingOf(row);
    if (binding == nullptr) {
        return std::nullopt;
    }
    const QWidget* widget = binding->widget(program);
    switch (binding->holder) {
    case Holder::Control:
        return fieldText(widget);
    case Holder::Pins:
        return packedPins(program);
    case Holder::LeftEdge:
        return QString::number(leftTwips(widget));
    case Holder::TopEdge:
        return QString::number(topTwips(widget));
    }
    return std::nullopt;
}

} // namespace kestrova
