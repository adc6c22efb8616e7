#include "player/SpeedCopies.h"

#include "player/SpeedCopy.h"

namespace kestrova {

bool SpeedCopies::write(int speed, const QString& target) const {
    return !source_.isEmpty() && writeSpeedCopy(source_, target, speed);
}

} // namespace kestrova
