#pragma once

#include <QString>

namespace kestrova {

// The topics of one circuit: "<praefix>/<kreis>/…".
struct MqttTopics {
    QString prefix;
    QString circuit;

    QString base() const { return prefix + QLatin1Char('/') + circuit; }
    QString status() const { return base() + QStringLiteral("/status"); }
    QString recording() const { return base() + QStringLiteral("/aufnahme"); }
    QString level() const { return base() + QStringLiteral("/pegel"); }
};

} // namespace kestrova
