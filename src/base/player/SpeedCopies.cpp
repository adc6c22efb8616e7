#include "base/player/SpeedCopies.h"

#include "base/player/SpeedCopy.h"

namespace kestrova {

bool SpeedCopies::write(int speed, const QString& target) const {
    return !source_.isEmpty() && writeSpeedCopy(source_, target, speed);
}

} // namespace kestrova
