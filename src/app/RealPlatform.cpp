#include "app/RealPlatform.h"

namespace kestrova {

RealPlatform::RealPlatform(const QString& programTitle) : dialogs_(programTitle) {}

Platform RealPlatform::platform() {
    return {clock_, dialogs_, audioInput_, capture_, player_, sounds_, audioOutput_, serial_};
}

} // namespace kestrova
