#include "base/integrity/ExportRange.h"

#include "base/archive/ManifestNames.h"
#include "base/archive/RecordingName.h"
#include "base/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

namespace kestrova {

namespace {
constexpr qint64 kLongestDescription = 4096;
const char* const kFirstLine = "Kestrova-Auszug";
const char* const kMomentFormat = "yyyy-MM-dd HH:mm:ss";
const char* const kDayFormat = "yyyy-MM-dd";

QString shown(const QDateTime& moment) {
    return moment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QDateTime clockReading(const QDate& day, const QTime& time) {
    return QDateTime(day, time, Qt::UTC);
}

std::optional<QDateTime> readMoment(const QString& text) {
    const QDateTime moment = QDateTime::fromString(text, QString::fromLatin1(kMomentFormat));
    if (!moment.isValid()) {
        return std::nullopt;
    }
    return clockReading(moment.date(), moment.time());
}

QMap<QString, QString> descriptionFields(const QByteArray& text) {
    QMap<QString, QString> fields;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size() && !lines.at(i).trimmed().isEmpty(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        fields.insert(line.section(QLatin1Char(':'), 0, 0).trimmed(),
                      line.section(QLatin1Char(':'), 1).trimmed());
    }
    return fields;
}
} // namespace

bool ExportRange::holdsRecording(const QString& name) const {
    if (recordingCircuit(name) != circuit) {
        return false;
    }
    const std::optional<QDateTime> moment = recordingMoment(name);
    return moment && *moment >= from && *moment <= to;
}

bool ExportRange::holdsManifest(const QString& fileName) const {
    const QDate day = dayOfManifest(fileName);
    return circuitOfManifest(fileName) == circuit && day.isValid() && day <= manifestsUntil;
}

QString ExportRange::described() const {
    return QStringLiteral("Funkkreis %1, %2 bis %3").arg(circuit, shown(from), shown(to));
}

QByteArray ExportRange::descriptionText() const {
    const QString momentFormat = QString::fromLatin1(kMomentFormat);
    return QStringLiteral("%1\nFunkkreis: %2\nVon: %3\nBis: %4\nManifeste bis: %5\n\n"
                          "Die Aufnahmen des Funkkreises %2, die von %6 bis %7 begannen (Ortszeit, wie "
                          "in ihren Namen), mit den Manifesten des Funkkreises bis zum %8: deren Zeilen "
                          "reihen die Aufnahmen in die Kette über alle Tage ein. Pruefbericht.txt sagt, "
                          "was die Prüfung bei der Ausfuhr fand. Nach dem Auspacken prüft\n\n"
                          "    kestrova --verify ORDNER\n\n"
                          "die Aufnahmen dieses Ordners gegen die Manifeste; mit --gegen HASH auch gegen "
                          "einen anderswo notierten Hash.\n")
        .arg(QString::fromLatin1(kFirstLine), circuit, from.toString(momentFormat), to.toString(momentFormat),
             manifestsUntil.toString(QString::fromLatin1(kDayFormat)), shown(from), shown(to),
             manifestsUntil.toString(QStringLiteral("dd.MM.yyyy")))
        .toUtf8();
}

QString exportDescriptionName() {
    return QStringLiteral("Auszug.txt");
}

std::optional<ExportRange> readExportDescription(const QString& docFolder) {
    const RegularFileOpen opened = openRegularFile(QDir(docFolder).filePath(exportDescriptionName()));
    if (!opened.file) {
        return std::nullopt;
    }
    const QByteArray text = opened.file->read(kLongestDescription);
    if (!text.startsWith(QByteArray(kFirstLine) + '\n')) {
        return std::nullopt;
    }
    const QMap<QString, QString> fields = descriptionFields(text);
    const std::optional<QDateTime> from = readMoment(fields.value(QStringLiteral("Von")));
    const std::optional<QDateTime> to = readMoment(fields.value(QStringLiteral("Bis")));
    const QDate until =
        QDate::fromString(fields.value(QStringLiteral("Manifeste bis")), QString::fromLatin1(kDayFormat));
    const QString circuit = fields.value(QStringLiteral("Funkkreis"));
    if (!from || !to || !until.isValid() || circuit.isEmpty()) {
        return std::nullopt;
    }
    return ExportRange{circuit, *from, *to, until};
}

std::optional<QDateTime> parseExportMoment(const QString& text, bool asEnd) {
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})(?:[ T]+([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto field = [&match](int index) { return match.capturedView(index).toInt(); };
    const QDate day(field(1), field(2), field(3));
    const bool hasTime = match.hasCaptured(4);
    const bool hasSeconds = match.hasCaptured(6);
    const int endSecond = asEnd ? 59 : 0;
    const QTime time = !hasTime ? QTime(asEnd ? 23 : 0, asEnd ? 59 : 0, endSecond)
                                : QTime(field(4), field(5), hasSeconds ? field(6) : endSecond);
    if (!day.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return clockReading(day, time);
}

} // namespace kestrova
