#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kestrova::test {

// The local time zone of this test process, until the object ends; then the one
// before. Qt reads TZ again at each conversion of local time.
class LocalZone {
public:
    explicit LocalZone(const char* zone) { qputenv("TZ", zone); }
    ~LocalZone() {
        if (wasSet_) {
            qputenv("TZ", before_);
        } else {
            qunsetenv("TZ");
        }
    }
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    const bool wasSet_ = qEnvironmentVariableIsSet("TZ");
    const QByteArray before_ = qgetenv("TZ");
};

} // namespace kestrova::test
