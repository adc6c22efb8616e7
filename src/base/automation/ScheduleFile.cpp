#include "base/automation/ScheduleFile.h"

#include "base/common/Cp1252.h"
#include "base/common/TextLines.h"

#include <QStringDecoder>
#include <QStringList>

namespace kestrova {

namespace {

constexpr int kScheduleLines = 3;

QString decodeScheduleText(const QByteArray& bytes) {
    // A byte-order mark at the start is dropped by the decoder.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    // Written on Windows in its code page, as the settings file is.
    return decodeCp1252(bytes);
}

} // namespace

Schedule parseSchedule(const QByteArray& bytes) {
    const QStringList lines = firstLines(decodeScheduleText(bytes), kScheduleLines);
    return {lines.value(0), lines.value(1), lines.value(2)};
}

bool isActionSecond(const QString& clockText, const QString& actionTime) {
    return clockText.mid(3, 5) == actionTime.trimmed();
}

} // namespace kestrova
