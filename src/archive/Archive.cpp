#include "archive/Archive.h"

#include "archive/RecordingFolders.h"
#include "archive/RecordingRules.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "player/Player.h"
#include "services/Services.h"
#include "settings/SettingsValues.h"
#include "ui/InfoForm.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <utility>

namespace kestrova {

namespace {

bool isSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Never over another file: a taken name means another recording.
bool copyToFreeName(const QString& source, const QString& target) {
    return isSameFile(source, target) || QFile::copy(source, target);
}

bool makeFolder(const QString& path) {
    return QDir(path).exists() || QDir().mkpath(path);
}

} // namespace

Archive::Archive(Services& program) : program_(program) {}

void Archive::createTables() {
    headerFields = QStringList(kHeaderFieldCount);
    deleteList.clear();
}

double Archive::readRecordingLength(const QString& path) {
    return kestrova::readRecordingLength(path, headerFields);
}

void Archive::refreshRecordingList() {
    SettingsValues& values = program_.settingsValues();
    const QString docFolder = values.docFolder;
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    if (!folder) {
        program_.platform().dialogs.message(noRecordingsMessage(docFolder), QStringLiteral("Info"),
                                            MessageButtons::Ok, MessageIcon::None);
        deleteMarkedRecordings();
        return;
    }
    program_.frm_Info->show();
    values.fileCount = 0;
    deleteList.clear();

    // The folder is read directly rather than through a listing file, so a name
    // holding a line break cannot turn into a second entry. Regular files only.
    QStringList names = QDir(*folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    sortAsListed(names);

    QListWidget* list = program_.frm_DoKu->lb_Sounds;
    list->clear();
    const QString circuit = program_.frm_Einstellungen->ed_FK->text();
    const QDate today = program_.platform().clock.now().date();
    for (const QString& name : names) {
        if (name.left(1) != circuit) {
            continue;
        }
        const QString path = *folder + QLatin1Char('/') + name;
        // On purpose: the pass leaves the last file it looked at as the player's next
        // file; every load names its own file first, only the window's set-up takes it.
        program_.player().setCurrentFile(path);
        if (name.size() <= 6) {
            continue;
        }
        if (values.retentionDays > recordingAge(name, today)) {
            const double seconds = readRecordingLength(path);
            if (isLongEnough(seconds, values.minRecordLimit)) {
                ++values.fileCount;
                addListEntry(name, seconds);
            } else {
                deleteList.append(path);
            }
        } else {
            deleteList.append(path);
        }
    }
    selectLastEntry();
    deleteMarkedRecordings();
}

void Archive::deleteMarkedRecordings() {
    // Settings that are only a guess must not decide which recordings go.
    const QString hold = deletionHold();
    program_.statusBar().showDeletionHold(hold);
    // Without the recordings folder there is nothing of ours to delete.
    const std::optional<QString> folder = findRecordingsFolder(program_.settingsValues().docFolder);
    if (folder && hold.isEmpty()) {
        for (const QString& path : std::as_const(deleteList)) {
            if (isDirectlyInside(path, *folder) && QFile::remove(path)) {
                program_.frm_Info->lbl_info->setText(QDir::toNativeSeparators(path) +
                                                     QStringLiteral(" wird gelöscht!"));
            }
        }
    }
    program_.frm_Info->hide();
    if (program_.settingsValues().autoStart != 0) {
        saveSettingsForm();
    }
    program_.frm_DoKu->show();
}

void Archive::keepRecording(const QString& workingFile, const QString& name) {
    program_.player().setCurrentFile(workingFile);
    const double seconds = readRecordingLength(workingFile);
    std::optional<QString> storedName = name;
    bool filed = true;
    if (isLongEnough(seconds, program_.settingsValues().minRecordLimit)) {
        storedName = firstFreeName(workingFile, name);
        filed = storedName && archiveRecording(workingFile, *storedName);
        if (storedName) {
            addListEntry(*storedName, seconds);
            selectLastEntry();
        }
    }
    // A recording that could not be copied stays in the working folder rather than
    // being lost to a full disk or a read-only folder.
    if (filed && QFileInfo::exists(workingFile) && !isStoredCopy(workingFile, *storedName)) {
        QFile::remove(workingFile);
    }
}

std::optional<QString> Archive::firstFreeName(const QString& workingFile, const QString& name) const {
    // Names go by the clock to the second: when the clock repeats an hour in autumn
    // or is set back, a name can already belong to an earlier recording.
    std::optional<QString> candidate = name;
    while (candidate && isNameTaken(workingFile, *candidate)) {
        candidate = nameOneSecondLater(*candidate);
    }
    return candidate;
}

bool Archive::isNameTaken(const QString& workingFile, const QString& name) const {
    const QString docFolder = program_.settingsValues().docFolder;
    const auto takenAt = [&workingFile](const QString& path) {
        return QFileInfo::exists(path) && !isSameFile(workingFile, path);
    };
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return (folder && takenAt(*folder + QLatin1Char('/') + name)) ||
           takenAt(datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name);
}

bool Archive::archiveRecording(const QString& workingFile, const QString& name) {
    SettingsValues& values = program_.settingsValues();
    const QString docFolder = values.docFolder;
    if (values.archiveRecordings == 1) {
        const QString dated = datedArchiveFolder(docFolder, name);
        if (makeFolder(docFolder) && ensureRecordingsFolder(docFolder) && makeFolder(dated)) {
            copyToFreeName(workingFile, dated + QLatin1Char('/') + name);
        }
    }
    ++values.fileCount;
    program_.statusBar().showFileCount(values.fileCount);
    // D/w is created here as well, so a recording is kept without the dated tree.
    if (!ensureRecordingsFolder(docFolder)) {
        return false;
    }
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder && copyToFreeName(workingFile, *folder + QLatin1Char('/') + name);
}

bool Archive::isStoredCopy(const QString& workingFile, const QString& name) const {
    const QString docFolder = program_.settingsValues().docFolder;
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return (folder && isSameFile(workingFile, *folder + QLatin1Char('/') + name)) ||
           isSameFile(workingFile, datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name);
}

void Archive::addListEntry(const QString& name, double seconds) {
    auto* item = new QListWidgetItem(listEntryText(name, seconds));
    // The entry keeps the exact name: a name of another length than a recording's
    // must not make the entry stand for another file.
    item->setData(Qt::UserRole, name);
    program_.frm_DoKu->lb_Sounds->addItem(item);
}

void Archive::selectLastEntry() {
    QListWidget* list = program_.frm_DoKu->lb_Sounds;
    if (list->count() > 0) {
        list->setCurrentRow(list->count() - 1);
    }
}

} // namespace kestrova
