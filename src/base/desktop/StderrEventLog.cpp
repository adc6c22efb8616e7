#include "base/desktop/StderrEventLog.h"

#include <QRegularExpression>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {
// The journal's priorities: err, warning, notice, info.
int journalPriority(EventPriority priority) {
    switch (priority) {
    case EventPriority::Error:
        return 3;
    case EventPriority::Warning:
        return 4;
    case EventPriority::Notice:
        return 5;
    case EventPriority::Info:
        break;
    }
    return 6;
}
} // namespace

QString eventLine(EventLineStyle style, EventPriority priority, const QString& text, const QDateTime& at) {
    static const QRegularExpression kBreaks(QStringLiteral("[\\r\\n]+"));
    const QString flat = QString(text).replace(kBreaks, QStringLiteral(" ")).trimmed();
    if (style == EventLineStyle::Journal) {
        return QStringLiteral("<%1>").arg(journalPriority(priority)) + flat;
    }
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + flat;
}

bool standardErrorIsJournal() {
    const QByteArray stream = qgetenv("JOURNAL_STREAM");
    struct stat status = {};
    if (stream.isEmpty() || ::fstat(STDERR_FILENO, &status) != 0) {
        return false;
    }
    return stream == QByteArray::number(static_cast<qulonglong>(status.st_dev)) + ':' +
                         QByteArray::number(static_cast<qulonglong>(status.st_ino));
}

StderrEventLog::StderrEventLog(EventLineStyle style) : style_(style) {}

void StderrEventLog::record(EventPriority priority, const QString& line) {
    const QByteArray bytes = eventLine(style_, priority, line, QDateTime::currentDateTime()).toUtf8() + '\n';
    // Unbuffered, so the line stands in the log even if the program is killed next.
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace kestrova
