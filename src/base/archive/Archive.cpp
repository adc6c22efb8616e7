#include "base/archive/Archive.h"

#include "base/archive/ContinuationList.h"
#include "base/archive/DatedTree.h"
#include "base/archive/ListPass.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/archive/RecordingRules.h"
#include "base/common/OffThreadWork.h"
#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/desktop/EventLog.h"
#include "base/files/RegularFile.h"
#include "base/settings/SettingsStore.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <utility>

namespace kestrova {

namespace {

// A pass or a deletion of this many recordings or fewer is simply waited for, as
// it always was; a longer one lets the interface thread go on with its timers.
constexpr std::size_t kSmallList = 1000;
constexpr std::chrono::milliseconds kSmallListPatience{20};

std::chrono::milliseconds patienceFor(qsizetype entries) {
    return static_cast<std::size_t>(entries) <= kSmallList ? kSmallListPatience
                                                           : std::chrono::milliseconds(0);
}

bool isSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Never over another file: a taken name means another recording. A copy of this
// recording already there is the copy.
bool copyToFreeName(const QString& source, const QString& target) {
    return isSameFile(source, target) || QFile::copy(source, target) || haveSameContent(source, target);
}

// How every deletion hold begins, whatever holds it.
QString holdOpening() {
    return QStringLiteral("Alte Aufnahmen werden nicht gelöscht: ");
}

bool makeFolder(const QString& path) {
    return QDir(path).exists() || QDir().mkpath(path);
}

} // namespace

Archive::Archive(const Platform& platform, SettingsStore& settings)
    : platform_(platform), store_(settings), settings_(settings.values) {}

void Archive::countRecordings(long long count) {
    store_.change([count](SettingsValues& values) { values.fileCount = count; });
}

void Archive::createTables() {
    headerFields = QStringList(kHeaderFieldCount);
    deleteList.clear();
}

double Archive::readRecordingLength(const QString& path) {
    return kestrova::readRecordingLength(path, headerFields);
}

void Archive::refreshRecordingList() {
    // A refresh that falls due while a pass runs (the night's, by a timer) is that
    // pass: it reads the folder as it is.
    if (passRunning_ || removing_) {
        return;
    }
    // The recorder comes on before the folder is read: nothing heard waits for a
    // long list. What it files meanwhile is added to the pass's list as it ends.
    if (settings_.autoStart != 0) {
        emit startDue();
    }
    const SettingsValues& values = settings_;
    const QString docFolder = values.docFolder;
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    if (!folder) {
        platform_.dialogs.message(noRecordingsMessage(docFolder), QStringLiteral("Info"), MessageButtons::Ok,
                                  MessageIcon::None);
        deleteMarkedRecordings();
        return;
    }
    // A long list is read while the window is already up; the info window in front
    // of it says to wait, and the user's input waits until the list is right.
    emit passStarted();
    countRecordings(0);
    deleteList.clear();

    // The folder is read directly rather than through a listing file, so a name
    // holding a line break cannot turn into a second entry. Regular files only.
    const QString circuit = QString::number(values.circuitNumber);
    const ListPassRules rules{*folder,
                              circuit,
                              platform_.clock.now().date(),
                              values.retentionDays,
                              values.minRecordLimit,
                              filedThisRun_.daysByTheClockNow(clockDoubt_.clockOffset())};
    ListPassResult result;
    passRunning_ = true;
    // The list as it stands tells how long the pass will be.
    runOffThread([&result, &rules] { result = runListPass(rules); }, patienceFor(recordingList_.count()));
    passRunning_ = false;
    clockDoubt_.noteArchive(docFolder, circuit, result.newestBeforeThisRun);
    takeListPass(std::move(result));
    selectLastEntry();
    deleteMarkedRecordings();
}

void Archive::takeListPass(ListPassResult result) {
    // On purpose: the pass leaves the last file it looked at as the player's next
    // file; every load names its own file first, only the window's set-up takes it.
    if (!result.lastLookedAt.isEmpty()) {
        emit playerFileChosen(result.lastLookedAt);
    }
    if (result.headerFields) {
        headerFields = std::move(*result.headerFields);
    }
    QSet<QString> filedMeanwhile;
    for (const ListedRecording& filed : filedDuringPass_) {
        if (!result.listed.contains(filed.name)) {
            result.listed.append(filed);
        }
        result.filedThisRunFound.insert(filed.name);
        filedMeanwhile.insert(filed.name);
    }
    filedThisRun_.keepOnly(result.filedThisRunFound);
    filedDuringPass_.clear();
    countRecordings(static_cast<long long>(result.listed.size()));
    // The pass judged the folder by the clock as it began; what the recorder kept
    // since (under a clock that jumped, say) is this run's, never due.
    result.deleteList.removeIf([&filedMeanwhile](const QString& path) {
        return filedMeanwhile.contains(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
    });
    deleteList = std::move(result.deleteList);
    recordingList_.replace(std::move(result.listed));
}

void Archive::deleteMarkedRecordings() {
    judgeClock();
    const QString hold = deletionHold();
    emit deletionHoldChanged(hold);
    // Without the recordings folder there is nothing of ours to delete.
    const std::optional<QString> folder = findRecordingsFolder(settings_.docFolder);
    if (folder && hold.isEmpty() && !deleteList.isEmpty()) {
        // The night's pass may find a whole day of recordings due.
        QStringList removed;
        const QStringList paths = deleteList;
        removing_ = true;
        runOffThread([&removed, &paths, &folder] { removed = removeRecordings(paths, *folder); },
                     patienceFor(paths.size()));
        removing_ = false;
        reportRemoved(removed);
        if (!removed.isEmpty()) {
            emit infoText(QDir::toNativeSeparators(removed.last()) + QStringLiteral(" wird gelöscht!"));
        }
    }
    emit waitOver();
    emit passFinished();
}

QString Archive::deletionHold() const {
    // Settings that are only a guess must not decide which recordings go, nor a
    // clock in doubt. Too-short recordings wait as well: they are never listed.
    if (clockHold_.isEmpty()) {
        return store_.deletionHold();
    }
    const QString settingsHold = store_.deletionHold();
    return settingsHold.isEmpty() ? holdOpening() + clockHold_ : settingsHold + QLatin1Char(' ') + clockHold_;
}

void Archive::judgeClock() {
    const QString reasons = clockDoubt_.reasons();
    if (reasons.isEmpty() != clockHold_.isEmpty()) {
        platform_.events.record(
            reasons.isEmpty() ? EventPriority::Info : EventPriority::Warning,
            reasons.isEmpty()
                ? QStringLiteral("Die Uhr ist wieder glaubwürdig: alte Aufnahmen werden wieder gelöscht.")
                : holdOpening() + reasons);
    }
    clockHold_ = reasons;
}

void Archive::forgetList() {
    recordingList_.clear();
    countRecordings(0);
    deleteList.clear();
}

void Archive::noteDeletedByHand(const QString& path) {
    emit recordingsDeleted({path}, QStringLiteral("von Hand"));
}

QString Archive::listFolder() const {
    return findRecordingsFolder(settings_.docFolder).value_or(newRecordingsFolderPath(settings_.docFolder));
}

QString Archive::entryPath(int row) const {
    const QString name = recordingList_.nameAt(row);
    return listFolder() + QLatin1Char('/') + (isPlainFileName(name) ? name : QString());
}

int Archive::rowOfPath(const QString& path) const {
    const QString folder = listFolder() + QLatin1Char('/');
    const QString name = path.startsWith(folder) ? path.mid(folder.size()) : QString();
    return isPlainFileName(name) ? recordingList_.rowOf(name) : -1;
}

QString Archive::removeListedRecording(int row) {
    const std::optional<QString> folder = findRecordingsFolder(settings_.docFolder);
    const QString name = recordingList_.nameAt(row);
    if (!folder || !isPlainFileName(name)) {
        return {};
    }
    const QString path = *folder + QLatin1Char('/') + name;
    if (!isDirectlyInside(path, *folder) || !QFileInfo(path).isFile() || !QFile::remove(path)) {
        return {};
    }
    return path;
}

void Archive::reportRemoved(const QStringList& removed) {
    for (const QString& path : removed) {
        platform_.events.record(EventPriority::Info,
                                QStringLiteral("Alte oder zu kurze Aufnahme gelöscht: ") +
                                    QDir::toNativeSeparators(path));
    }
    if (!removed.isEmpty()) {
        emit recordingsDeleted(removed, QStringLiteral("Aufbewahrung"));
    }
}

void Archive::keepRecording(const QString& workingFile, const QString& name, RecordingPiece piece,
                            const QDateTime& start) {
    emit playerFileChosen(workingFile);
    const double seconds = readRecordingLength(workingFile);
    const bool worthKeeping = isKeptWhenSaved(seconds, settings_.minRecordLimit, piece);
    std::optional<FilingName> target = FilingName{name, {}};
    bool filed = true;
    bool filedNow = false;
    if (worthKeeping) {
        target = firstFreeName(workingFile, name);
        filed = target && fileRecording(workingFile, *target, seconds);
        // A copy that was in D/w already was passed on when it came.
        filedNow = filed && target && !target->copiesThere.contains(recordingsFolderCopy(target->name));
    }
    const QString storedName = target ? target->name : name;
    if (filedNow && !isLongEnough(seconds, settings_.minRecordLimit)) {
        // Only its mark keeps a short continuation from the next list pass.
        ContinuationList(listFolder()).add(storedName);
    }
    if (worthKeeping && filed) {
        // Its name holds the clock as it is now, which may be wrong.
        filedThisRun_.add(storedName, clockDoubt_.clockOffset());
    }
    reportKept(storedName, seconds, worthKeeping, filed);
    if (filedNow) {
        emit recordingFiled(storedName, start);
    }
    // A recording that could not be copied stays in the working folder rather than
    // being lost to a full disk or a read-only folder.
    if (filed && QFileInfo::exists(workingFile) && !isStoredCopy(workingFile, storedName)) {
        QFile::remove(workingFile);
    }
}

bool Archive::fileRecording(const QString& workingFile, const FilingName& target, double seconds) {
    const QString& name = target.name;
    // The list pass has listed and counted a copy that was in D/w before.
    const bool listed = target.copiesThere.contains(recordingsFolderCopy(name));
    const bool filed = archiveRecording(workingFile, name);
    if (!listed) {
        countRecordings(settings_.fileCount + 1);
        emit fileCountChanged(settings_.fileCount);
        addListEntry(name, seconds);
        selectLastEntry();
    }
    // The copy the manifest names was entered by the start that made it.
    const QString entered = keptCopyPath(settings_.docFolder, name, settings_.archiveRecordings == 1);
    if (!target.copiesThere.contains(entered)) {
        emit recordingKept(name);
    }
    return filed;
}

QString Archive::recordingsFolderCopy(const QString& name) const {
    return listFolder() + QLatin1Char('/') + name;
}

void Archive::reportKept(const QString& name, double seconds, bool worthKeeping, bool filed) {
    const QString length = QStringLiteral(" (%1 s)").arg(
        QString::number(seconds, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')));
    EventLog& events = platform_.events;
    if (!worthKeeping) {
        events.record(EventPriority::Info,
                      QStringLiteral("Aufnahme verworfen, kürzer als die Mindestzeit: ") + name + length);
    } else if (filed) {
        events.record(EventPriority::Info, QStringLiteral("Aufnahme abgelegt: ") + name + length);
    } else {
        events.record(EventPriority::Error,
                      QStringLiteral("Aufnahme nicht abgelegt, sie bleibt im Programmordner: ") + name +
                          length);
    }
}

std::optional<Archive::FilingName> Archive::firstFreeName(const QString& workingFile,
                                                          const QString& name) const {
    // Names go by the clock to the second: when the clock repeats an hour in autumn
    // or is set back, a name can already belong to an earlier recording.
    for (std::optional<QString> candidate = name; candidate; candidate = nameOneSecondLater(*candidate)) {
        if (std::optional<QStringList> copies = copiesUnder(workingFile, *candidate)) {
            return FilingName{*candidate, std::move(*copies)};
        }
    }
    return std::nullopt;
}

QString Archive::freeName(const QString& name) const {
    // No working file: any file under a name is another recording's.
    const std::optional<FilingName> free = firstFreeName(QString(), name);
    return free ? free->name : name;
}

std::optional<QStringList> Archive::copiesUnder(const QString& workingFile, const QString& name) const {
    const QString docFolder = settings_.docFolder;
    QStringList places;
    if (const std::optional<QString> folder = findRecordingsFolder(docFolder)) {
        places << *folder + QLatin1Char('/') + name;
    }
    places << datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name;
    QStringList copies;
    for (const QString& path : std::as_const(places)) {
        if (!QFileInfo::exists(path) || isSameFile(workingFile, path)) {
            continue;
        }
        // Sizes decide almost always; the bytes only when they agree.
        if (!haveSameContent(workingFile, path)) {
            return std::nullopt;
        }
        copies << path;
    }
    return copies;
}

bool Archive::archiveRecording(const QString& workingFile, const QString& name) {
    const QString docFolder = settings_.docFolder;
    if (settings_.archiveRecordings == 1) {
        const QString dated = datedArchiveFolder(docFolder, name);
        if (makeFolder(docFolder) && ensureRecordingsFolder(docFolder) && makeFolder(dated)) {
            copyToFreeName(workingFile, dated + QLatin1Char('/') + name);
        }
    }
    // D/w is created here as well, so a recording is kept without the dated tree.
    if (!ensureRecordingsFolder(docFolder)) {
        return false;
    }
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder && copyToFreeName(workingFile, *folder + QLatin1Char('/') + name);
}

bool Archive::isStoredCopy(const QString& workingFile, const QString& name) const {
    const QString docFolder = settings_.docFolder;
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return (folder && isSameFile(workingFile, *folder + QLatin1Char('/') + name)) ||
           isSameFile(workingFile, datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name);
}

void Archive::addListEntry(const QString& name, double seconds) {
    recordingList_.append({name, seconds});
    if (passRunning_) {
        filedDuringPass_.push_back({name, seconds});
    }
}

void Archive::selectLastEntry() {
    if (recordingList_.count() > 0) {
        emit rowSelected(recordingList_.count() - 1);
    }
}

} // namespace kestrova
