#include "archive/Archive.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "app/SettingsActions.h"
#include "archive/RecordingFolders.h"
#include "platform/Dialogs.h"
#include "ui/InfoForm.h"
#include "ui/MainForm.h"

#include <QDir>

namespace kestrova {

Archive::Archive(Program& program) : program_(program) {}

void Archive::createTables() {
    headerFields = QStringList(13);
    deleteList.clear();
}

void Archive::refreshRecordingList() {
    const QString docFolder = program_.settings().values.docFolder;
    if (!findRecordingsFolder(docFolder)) {
        program_.platform().dialogs.message(
            QStringLiteral("Der Pfad [") + QDir::toNativeSeparators(newRecordingsFolderPath(docFolder)) +
                QStringLiteral("] ist nicht vorhanden, oder es liegen noch keine Aufzeichnungen vor."),
            QStringLiteral("Info"), MessageButtons::Ok, MessageIcon::None);
        deleteMarkedRecordings();
        return;
    }
    program_.frm_Info->show();
    deleteList.clear();
    deleteMarkedRecordings();
}

void Archive::deleteMarkedRecordings() {
    program_.frm_Info->hide();
    if (program_.settings().values.autoStart != 0) {
        program_.settingsActions().cmd_SK_Click();
    }
    program_.frm_DoKu->show();
}

void Archive::keepRecording(const QString& /*workingFile*/, const QString& /*name*/) {}

} // namespace kestrova
