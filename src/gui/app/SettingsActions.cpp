#include "gui/app/SettingsActions.h"

#include "base/archive/RecordingFolders.h"
#include "base/audio/AudioInput.h"
#include "base/common/NumericValue.h"
#include "base/desktop/Dialogs.h"
#include "base/program/InputDevices.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsTable.h"
#include "gui/app/Program.h"
#include "gui/app/Settings.h"
#include "gui/app/SettingsControls.h"
#include "gui/player/Player.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/ValueBar.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace kestrova {

namespace {
void fillList(QComboBox* box, const QString& firstText, const QStringList& items) {
    if (!firstText.isEmpty() && box->isEditable()) {
        box->setEditText(firstText);
    }
    box->addItems(items);
    if (!firstText.isEmpty()) {
        const int index = box->findText(firstText);
        if (index >= 0) {
            box->setCurrentIndex(index);
        } else if (box->isEditable()) {
            box->setEditText(firstText);
        }
    }
}

QStringList numbers(int from, int to) {
    QStringList items;
    for (int n = from; n <= to; ++n) {
        items << QString::number(n);
    }
    return items;
}
} // namespace

SettingsActions::SettingsActions(Program& program) : program_(program) {}

void SettingsActions::fillSettingsLists() {
    SettingsForm& form = *program_.frm_Einstellungen;
    program_.recorder().resetState();
    program_.frm_DoKu->Progressbar1->setMaximum(100);
    program_.frm_DoKu->Progressbar1->setValue(0);

    fillList(form.cb_Kanal, QStringLiteral("0"), numbers(1, 4));
    QStringList sampleRates;
    for (const char* rate : settingsRow(u"sampleRate")->rule.choices) {
        sampleRates << QString::fromLatin1(rate);
    }
    fillList(form.cb_Sample, QStringLiteral("11025"), sampleRates);
    fillList(form.cb_Com, QStringLiteral("1"), numbers(1, 20));
    fillList(form.cb_PIN, QString(), {QStringLiteral("4"), QStringLiteral("7")});
    fillList(form.cb_PIN_RX, QString(),
             {QStringLiteral("1"), QStringLiteral("1-"), QStringLiteral("6"), QStringLiteral("6-"),
              QStringLiteral("8"), QStringLiteral("8-"), QStringLiteral("9"), QStringLiteral("9-")});

    program_.frm_DoKu->tallHeight = 3975;
    program_.frm_DoKu->shortHeight = 2130;
    ensureRecordingsFolder(program_.programFolder());
}

void SettingsActions::listInputDevices() {
    QComboBox* devices = program_.frm_Einstellungen->cb_Device;
    devices->clear();
    devices->addItems(usableInputDevices(program_.platform().audioInput));
    if (devices->count() == 0) {
        devices->setPlaceholderText(QStringLiteral("No audio devices available."));
        program_.platform().dialogs.message(noInputDevicesMessage(), QStringLiteral(" INFO"),
                                            MessageButtons::Ok, MessageIcon::None);
        return;
    }
    devices->setCurrentIndex(0);
}

void SettingsActions::cmd_SK_Click() {
    SettingsForm& form = *program_.frm_Einstellungen;
    if (form.cb_Device->count() >= 1) {
        form.cb_Kanal->setEditText(QString::number(form.cb_Device->currentIndex()));
    }
    program_.completeStart();
}

std::optional<QString> SettingsActions::refusal() const {
    for (const SettingsRow& row : settingsRows()) {
        if (row.rule.kind != SettingsRuleKind::Number && row.rule.kind != SettingsRuleKind::Folder) {
            continue;
        }
        auto* field = qobject_cast<QLineEdit*>(controlOf(program_, row));
        const QString why = formRefusal(row, field->text());
        if (!why.isEmpty()) {
            field->setFocus();
            field->selectAll();
            return why;
        }
    }
    return std::nullopt;
}

// A press of the button runs both handlers, the click first. The click says why
// the form is refused; a save that failed (and said so) is not tried again in the
// same press.
void SettingsActions::cmd_Speichern_MouseUp() {
    if (!saveFailed_ && !refusal()) {
        trySave();
    }
}

void SettingsActions::cmd_Speichern_Click() {
    if (saveFailed_) {
        return;
    }
    if (const std::optional<QString> why = refusal()) {
        program_.platform().dialogs.message(*why, QStringLiteral("Einstellungen"), MessageButtons::Ok,
                                            MessageIcon::Stop);
        return;
    }
    trySave();
}

void SettingsActions::trySave() {
    if (!save()) {
        saveFailed_ = true;
        QTimer::singleShot(0, program_.frm_Einstellungen, [this] { saveFailed_ = false; });
    }
}

bool SettingsActions::save() {
    program_.player().stop();
    // A failed save keeps the edits in the form for another try rather than
    // reading the old file over them.
    if (!program_.settings().saveSettings()) {
        return false;
    }
    program_.settings().readSettings();
    return true;
}

void SettingsActions::cmd_Zurück_Click() {
    program_.frm_Einstellungen->hide();
}

void SettingsActions::connectVolumeField() {
    QLineEdit* field = program_.frm_Einstellungen->ed_PlayPegel;
    SettingsStore& store = program_.settings().store();
    QObject::connect(field, &QLineEdit::textEdited, field, [&store](const QString& text) {
        const double percent = numericValue(text);
        store.change([percent](SettingsValues& values) { values.volumePercent = percent; });
    });
    QObject::connect(&store, &SettingsStore::changed, field, [field, &store](const QString& key) {
        // Left as typed while it says the same: the cursor stays where the user put it.
        if (key == u"volume" && numericValue(field->text()) != store.values.volumePercent) {
            field->setText(numberText(store.values.volumePercent));
        }
    });
}

// The chosen folder is in force at once for the next recording and list, and saved
// only by "Speichern".
void SettingsActions::chooseDocFolder() {
    SettingsForm& form = *program_.frm_Einstellungen;
    const std::optional<QString> folder =
        program_.platform().dialogs.chooseFolder(&form, form.ed_PfadDoku->text().trimmed());
    if (!folder) {
        return; // cancelled: the previous folder stays
    }
    form.ed_PfadDoku->setText(QDir::toNativeSeparators(*folder));
    const QString chosen = form.ed_PfadDoku->text().trimmed();
    program_.settings().store().change([&chosen](SettingsValues& values) { values.docFolder = chosen; });
}

void SettingsActions::connectControls() {
    SettingsForm& form = *program_.frm_Einstellungen;
    QObject::connect(form.cmd_SK, &QPushButton::clicked, &form, [this] { cmd_SK_Click(); });
    // Saving runs on the button's release and again on its click.
    QObject::connect(watchMouse(form.cmd_Speichern), &MouseEvents::mouseUp, &form,
                     [this](int, int, int, int) { cmd_Speichern_MouseUp(); });
    QObject::connect(form.cmd_Speichern, &QPushButton::clicked, &form, [this] { cmd_Speichern_Click(); });
    QObject::connect(form.cmd_Zurück, &QPushButton::clicked, &form, [this] { cmd_Zurück_Click(); });
    QObject::connect(form.cmdPfad, &QPushButton::clicked, &form, [this] { chooseDocFolder(); });
    connectVolumeField();
}

} // namespace kestrova
