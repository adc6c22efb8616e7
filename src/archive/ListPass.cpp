#include "archive/ListPass.h"

#include "archive/RecordingRules.h"
#include "platform/FolderFiles.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <utility>

namespace kestrova {

namespace {

enum class Verdict : quint8 { PassedOver, Listed, Due };

// A name of the circuit as the pass found it. The moment is parsed once, for
// the sort; -1 for a name that has none, so it sorts first.
struct LookedAt {
    qint64 moment = -1;
    QString name;
    double seconds = 0;
    Verdict verdict = Verdict::PassedOver;
    bool lengthRead = false;
};

bool inListOrder(const LookedAt& a, const LookedAt& b) {
    return a.moment != b.moment ? a.moment < b.moment : a.name < b.name;
}

bool isAscii(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The file is opened by the name's text, as every other reader of the program
// opens it: a name whose bytes are no text in the system's encoding reads as 0.
double lengthOf(const FolderFiles& files, const char* bytes, const QString& name) {
    const QByteArray spelled = isAscii(bytes) ? QByteArray() : QFile::encodeName(name);
    char header[kRecordingHeaderBytes];
    const long got = files.readStart(spelled.isEmpty() ? bytes : spelled.constData(), header, sizeof header);
    return got < 0 ? 0 : recordingLengthOf(header, got);
}

LookedAt lookAt(const FolderFiles& files, const char* bytes, QString name, const ListPassRules& rules) {
    LookedAt entry{recordingMomentKey(name).value_or(-1), std::move(name)};
    // Six characters or fewer are never a recording's name.
    if (entry.name.size() <= 6) {
        return entry;
    }
    if (!(rules.retentionDays > recordingAge(entry.name, rules.today))) {
        entry.verdict = Verdict::Due;
        return entry;
    }
    entry.seconds = lengthOf(files, bytes, entry.name);
    entry.lengthRead = true;
    entry.verdict = isLongEnough(entry.seconds, rules.minRecordLimit) ? Verdict::Listed : Verdict::Due;
    return entry;
}

std::vector<LookedAt> lookAtCircuit(const ListPassRules& rules) {
    std::vector<LookedAt> found;
    const FolderFiles files(rules.folder);
    // Files are read in the folder's own order, which is the disk's.
    files.forEachRegularFile([&](const char* bytes) {
        QString name = QFile::decodeName(bytes);
        if (name.left(1) == rules.circuit) {
            found.push_back(lookAt(files, bytes, std::move(name), rules));
        }
    });
    std::sort(found.begin(), found.end(), inListOrder);
    return found;
}

} // namespace

ListPassResult runListPass(const ListPassRules& rules) {
    std::vector<LookedAt> found = lookAtCircuit(rules);
    ListPassResult result;
    const QString prefix = rules.folder + QLatin1Char('/');
    if (!found.empty()) {
        result.lastLookedAt = prefix + found.back().name;
    }
    const auto lastRead =
        std::find_if(found.rbegin(), found.rend(), [](const LookedAt& e) { return e.lengthRead; });
    if (lastRead != found.rend()) {
        QStringList fields;
        readRecordingLength(prefix + lastRead->name, fields);
        result.headerFields = std::move(fields);
    }
    result.listed.reserve(static_cast<std::size_t>(std::count_if(
        found.begin(), found.end(), [](const LookedAt& e) { return e.verdict == Verdict::Listed; })));
    for (LookedAt& entry : found) {
        if (entry.verdict == Verdict::Listed) {
            result.listed.push_back({std::move(entry.name), entry.seconds});
        } else if (entry.verdict == Verdict::Due) {
            result.deleteList.append(prefix + entry.name);
        }
    }
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
