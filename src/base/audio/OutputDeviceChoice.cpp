#include "base/audio/OutputDeviceChoice.h"

#include <QRegularExpression>

namespace kestrova {

QString soundCardKey(const QString& deviceName) {
    static const QRegularExpression alsaCard(QStringLiteral("\\(hw:(\\d+)"));
    const auto card = alsaCard.match(deviceName);
    if (card.hasMatch()) {
        return QStringLiteral("hw:") + card.captured(1);
    }
    static const QRegularExpression bracketed(QStringLiteral("\\(([^()]+)\\)\\s*$"));
    const auto brackets = bracketed.match(deviceName);
    if (brackets.hasMatch()) {
        return brackets.captured(1).trimmed().toLower();
    }
    const int colon = deviceName.indexOf(QLatin1Char(':'));
    return (colon > 0 ? deviceName.left(colon) : deviceName).trimmed().toLower();
}

int chooseOutputDevice(const std::vector<OutputCandidate>& devices, const QString& inputName, int fallback) {
    if (inputName.trimmed().isEmpty()) {
        return fallback;
    }
    const QString key = soundCardKey(inputName);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].maxOutputChannels > 0 && soundCardKey(devices[i].name) == key) {
            return static_cast<int>(i);
        }
    }
    return fallback;
}

} // namespace kestrova
