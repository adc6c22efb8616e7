#include "gui/app/MainMenu.h"

#include "base/desktop/Dialogs.h"
#include "base/recorder/Recorder.h"
#include "gui/app/Program.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/HelpWindow.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>

namespace kestrova {

namespace {

const QString kHelpFile = QStringLiteral("hilfe/inhalt.html");

} // namespace

MainMenu::MainMenu(Program& program, QObject* parent) : QObject(parent), program_(program) {
    // The build puts the help beside the executable; an installation in
    // <prefix>/share/kestrova while the program sits in <prefix>/bin.
    const QString executableFolder = QCoreApplication::applicationDirPath();
    helpFallbackFolders = {executableFolder, executableFolder + QStringLiteral("/../share/kestrova")};
}

void MainMenu::showMainMenu() {
    MainForm* main = program_.frm_DoKu;
    const QPoint at(twipsToPixels(leftTwips(main)) + 6, twipsToPixels(topTwips(main)) + 47);
    const QStringList entries = QString::fromUtf8(kMenuText).split(QLatin1Char('|'));
    runMenuEntry(program_.platform().dialogs.popupMenu(main, entries, at));
}

void MainMenu::runMenuEntry(int entry) {
    switch (entry) {
    case Info:
        openHelp();
        break;
    case Settings:
        program_.frm_Einstellungen->show();
        program_.frm_Einstellungen->raise();
        break;
    case SoundWindow:
        toggleSoundWindow();
        break;
    case Quit:
        program_.shutDown();
        break;
    default:
        // Dismissed.
        break;
    }
}

QString MainMenu::findHelpFile() const {
    QStringList folders{program_.programFolder()};
    folders += helpFallbackFolders;
    for (const QString& folder : folders) {
        if (folder.isEmpty()) {
            continue;
        }
        // Cleaned first: "bin/.." must not depend on how the system resolves it.
        const QFileInfo file(QDir::cleanPath(QDir(folder).filePath(kHelpFile)));
        if (file.isFile()) {
            return QDir::cleanPath(file.absoluteFilePath());
        }
    }
    return {};
}

void MainMenu::openHelp() {
    const QString help = findHelpFile();
    if (help.isEmpty()) {
        program_.platform().dialogs.message(QStringLiteral("Die Hilfedatei ist nicht vorhanden!"), QString(),
                                            MessageButtons::Ok, MessageIcon::None);
        return;
    }
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(program_.frm_DoKu);
    }
    helpWindow_->showPage(help);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void MainMenu::toggleSoundWindow() {
    MainForm* main = program_.frm_DoKu;
    const MainForm& heights = *main;
    // Not moved: the sound window comes back where it was last docked.
    if (heightTwips(main) == heights.shortHeight) {
        setHeightTwips(main, heights.tallHeight);
        program_.frm_Oszi->show();
    } else {
        setHeightTwips(main, heights.shortHeight);
        program_.frm_Oszi->hide();
    }
}

void MainMenu::dockSoundWindow() {
    kestrova::dockSoundWindow(program_.frm_DoKu, program_.frm_Oszi);
}

void MainMenu::cmd_zur_Click() {
    setHeightTwips(program_.frm_DoKu, program_.frm_DoKu->shortHeight);
}

void MainMenu::lbl_Menue_MouseMove() {
    program_.frm_DoKu->lbl_Menue->setBorder(LabelBorder::Hover);
}

void MainMenu::tb1_MouseMove(int x, int y) {
    MainForm* main = program_.frm_DoKu;
    // A move over a label that ignores it reaches the strip too; only the bare strip clears.
    const QPoint at(x, y);
    if (main->lbl_Menue->geometry().contains(at) || main->lbl_LoadWave->geometry().contains(at)) {
        return;
    }
    main->lbl_Menue->setBorder(LabelBorder::Flat);
    main->lbl_LoadWave->setBorder(LabelBorder::Flat);
}

void MainMenu::Progressbar1_MouseDown() {
    ValueBar* bar = program_.frm_DoKu->Progressbar1;
    bar->setTextVisible(!bar->isTextVisible());
}

void MainMenu::frm_DoKu_Close() {
    program_.shutDown();
}

void MainMenu::connectControls() {
    MainForm& main = *program_.frm_DoKu;
    QObject::connect(main.lbl_Menue_mouse, &MouseEvents::mouseDown, this,
                     [this](int, int, int, int) { showMainMenu(); });
    QObject::connect(main.lbl_Menue_mouse, &MouseEvents::mouseMove, this,
                     [this](int, int, int, int) { lbl_Menue_MouseMove(); });
    QObject::connect(main.tb1_mouse, &MouseEvents::mouseMove, this,
                     [this](int, int, int x, int y) { tb1_MouseMove(x, y); });
    QObject::connect(main.Progressbar1_mouse, &MouseEvents::mouseDown, this,
                     [this](int, int, int, int) { Progressbar1_MouseDown(); });
    QObject::connect(main.cmd_zur, &QPushButton::clicked, this, [this] { cmd_zur_Click(); });
    QObject::connect(&main, &MainForm::moved, this, [this] { dockSoundWindow(); });
    main.onClose = [this] { frm_DoKu_Close(); };
}

} // namespace kestrova
