#include "base/archive/ListPass.h"

#include "base/archive/ContinuationList.h"
#include "base/archive/FilingOrder.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/archive/RecordingRules.h"
#include "base/files/FolderFiles.h"

#include <QFile>
#include <algorithm>
#include <utility>
#include <vector>

namespace kestrova {

namespace {

enum class Verdict : quint8 { PassedOver, Listed, Due };

// A name of the circuit as the pass found it. The name itself waits in the
// pass's names, so a long folder costs no string per file. The moment is parsed
// once, for the sort (FilingOrder's key); -1 for a name that has none, so it sorts first.
// Sixteen bytes: a hundred thousand of them are held at the pass's peak.
struct LookedAt {
    qint64 moment = -1;
    quint32 name = 0; // its index in the names, which never holds 4 GB
    Verdict verdict = Verdict::PassedOver;
    bool lengthRead = false;
};

// What the pass found: the names of the circuit with their lengths, in the
// folder's order, and the same in list order.
struct Found {
    ListedRecordings names;
    // A QList, not a vector: it grows in place (realloc), so a long folder never
    // holds the old and the new block at once.
    QList<LookedAt> inListOrder;
    QSet<QString> filedThisRun;
    LookedAt newestBeforeThisRun;
};

bool isAscii(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The name's first character is the circuit's digit. An ASCII byte is its own
// character in the system's encoding, and no other byte starts a digit, so a name
// of another circuit is passed over before it is decoded.
bool isOfCircuit(const char* bytes, const QString& circuit) {
    return circuit.size() == 1 && circuit.front().unicode() < 0x80 &&
           bytes[0] == static_cast<char>(circuit.front().unicode());
}

// The file is opened by the name's text, as every other reader of the program
// opens it: a name whose bytes are no text in the system's encoding reads as 0.
double lengthOf(const FolderFiles& files, const char* bytes, bool ascii, const QString& name) {
    const QByteArray spelled = ascii ? QByteArray() : QFile::encodeName(name);
    char header[kRecordingHeaderBytes];
    const long got = files.readStart(spelled.isEmpty() ? bytes : spelled.constData(), header, sizeof header);
    return got < 0 ? 0 : recordingLengthOf(header, got);
}

bool isTooOld(const QString& name, const ListPassRules& rules) {
    const auto filed = rules.filedThisRun.constFind(name);
    const std::optional<long long> age =
        filed != rules.filedThisRun.cend() ? filed->daysTo(rules.today) : recordingAge(name, rules.today);
    return age && !(rules.retentionDays > static_cast<double>(*age));
}

void lookAt(const FolderFiles& files, const char* bytes, const QString& name, const ListPassRules& rules,
            const QSet<QString>& continuations, FilingOrder& order, Found& found) {
    LookedAt entry{order.sortKey(recordingMomentKey(name).value_or(-1)),
                   static_cast<quint32>(found.names.size())};
    const bool ascii = isAscii(bytes);
    double seconds = 0;
    // Six characters or fewer are never a recording's name: passed over.
    const bool recordingsName = name.size() > 6;
    if (recordingsName && isTooOld(name, rules)) {
        entry.verdict = Verdict::Due;
    } else if (recordingsName) {
        seconds = lengthOf(files, bytes, ascii, name);
        entry.lengthRead = true;
        // A short piece that continues a split transmission is no short recording.
        entry.verdict = isLongEnough(seconds, rules.minRecordLimit) || continuations.contains(name)
                            ? Verdict::Listed
                            : Verdict::Due;
    }
    if (rules.filedThisRun.contains(name)) {
        found.filedThisRun.insert(name);
    } else if (entry.moment > found.newestBeforeThisRun.moment) {
        found.newestBeforeThisRun = entry;
    }
    // An ASCII name is its own UTF-8: its bytes go into the list as they are.
    if (ascii) {
        found.names.appendUtf8(bytes, seconds);
    } else {
        found.names.append({name, seconds});
    }
    found.inListOrder.push_back(entry);
}

Found lookAtCircuit(const ListPassRules& rules) {
    Found found;
    const FolderFiles files(rules.folder);
    const QSet<QString> continuations = ContinuationList(rules.folder).names();
    FilingOrder order;
    // Files are read in the folder's own order, which is the disk's.
    files.forEachRegularFile([&](const char* bytes) {
        if (isOfCircuit(bytes, rules.circuit)) {
            lookAt(files, bytes, QFile::decodeName(bytes), rules, continuations, order, found);
        }
    });
    // Names of the same moment are rare, so only they are read back for the sort;
    // their filing then decides, as it does in the hour the clock repeats.
    const ListedRecordings& names = found.names;
    std::sort(
        found.inListOrder.begin(), found.inListOrder.end(), [&names](const LookedAt& a, const LookedAt& b) {
            return a.moment != b.moment ? a.moment < b.moment : names.nameAt(a.name) < names.nameAt(b.name);
        });
    const QString prefix = rules.folder + QLatin1Char('/');
    FilingOrder::orderRunsByFiling(
        found.inListOrder.begin(), found.inListOrder.end(),
        [](const LookedAt& entry) { return entry.moment; },
        [&names, &prefix](const LookedAt& entry) { return prefix + names.nameAt(entry.name); });
    return found;
}

} // namespace

ListPassResult runListPass(const ListPassRules& rules) {
    Found found = lookAtCircuit(rules);
    const QList<LookedAt>& inOrder = found.inListOrder;
    ListPassResult result;
    const QString prefix = rules.folder + QLatin1Char('/');
    if (!inOrder.empty()) {
        result.lastLookedAt = prefix + found.names.nameAt(inOrder.back().name);
    }
    if (found.newestBeforeThisRun.moment >= 0) {
        result.newestBeforeThisRun = found.names.nameAt(found.newestBeforeThisRun.name);
    }
    result.filedThisRunFound = std::move(found.filedThisRun);
    const auto lastRead =
        std::find_if(inOrder.rbegin(), inOrder.rend(), [](const LookedAt& e) { return e.lengthRead; });
    if (lastRead != inOrder.rend()) {
        QStringList fields;
        readRecordingLength(prefix + found.names.nameAt(lastRead->name), fields);
        result.headerFields = std::move(fields);
    }
    std::vector<quint32> listed;
    listed.reserve(static_cast<std::size_t>(inOrder.size()));
    for (const LookedAt& entry : inOrder) {
        if (entry.verdict == Verdict::Listed) {
            listed.push_back(entry.name);
        } else if (entry.verdict == Verdict::Due) {
            result.deleteList.append(prefix + found.names.nameAt(entry.name));
        }
    }
    found.inListOrder = {};
    // The names found become the list as they lie, so a long list is never kept twice.
    result.listed = std::move(found.names);
    result.listed.keepOnly(listed);
    return result;
}

QStringList removeRecordings(const QStringList& paths, const QString& folder) {
    QStringList removed;
    for (const QString& path : paths) {
        if (isDirectlyInside(path, folder) && QFile::remove(path)) {
            removed.append(path);
        }
    }
    return removed;
}

} // namespace kestrova
