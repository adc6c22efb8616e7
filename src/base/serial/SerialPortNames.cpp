#include "base/serial/SerialPortNames.h"

namespace kestrova {

QString comPortNameFor(const QString& comText) {
    const QString text = comText.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (!isNumber || number < 0) {
        return text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('\\'))
                   ? text
                   : QStringLiteral("COM") + text;
    }
    if (number == 0) {
        return QStringLiteral("COM0");
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(number);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
#endif
}

bool isNoPort(const QString& comPortName) {
    return comPortName.isEmpty() || comPortName == QStringLiteral("COM0");
}

} // namespace kestrova
