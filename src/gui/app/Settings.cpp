#include "gui/app/Settings.h"

#include "base/archive/Archive.h"
#include "base/automation/AutoCq.h"
#include "base/desktop/Clock.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "base/transmit/Transmitter.h"
#include "gui/app/Program.h"
#include "gui/app/SettingsControls.h"
#include "gui/app/SettingsEffects.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/StatusBar.h"

#include <QFile>
#include <QLabel>

namespace kestrova {

Settings::Settings(Program& program)
    : store_(program.platform(), program.programFolder()), values(store_.values), program_(program) {
    QObject::connect(&store_, &SettingsStore::linesTaken, &store_,
                     [this](const QStringList& lines) { showLines(lines); });
}

void Settings::readSettings() {
    program_.autoCq().haltForSettings();
    store_.readSettings();
    // Without a desktop nobody could switch the recorder on.
    if (program_.options().headless) {
        store_.change([](SettingsValues& read) { read.autoStart = 1; });
    }
    runClosingSteps();
}

void Settings::showLines(const QStringList& lines) {
    for (const SettingsRow& row : settingsRows()) {
        showOnControl(program_, row, lines.at(row.line - 1));
    }
    applySettingsEffects(program_, values);
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
    QStringList lines{saveNote(program_.programFolder(), program_.platform().clock.now())};
    for (const SettingsRow& row : settingsRows()) {
        // A line no control shows is kept by the program itself.
        std::optional<QString> text = controlText(program_, row);
        lines.append(text ? *std::move(text) : row.value.give(values));
    }
    return lines;
}

bool Settings::saveSettings() {
    if (!QFile::exists(filePath())) {
        return true;
    }
    // Saved from the form: the settings in force are now the user's own.
    const bool saved = store_.saveLines(currentLines());
    program_.frm_DoKu->lblrsp->hide();
    return saved;
}

} // namespace kestrova
