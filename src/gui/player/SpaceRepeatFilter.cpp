#include "gui/player/SpaceRepeatFilter.h"

#include <QEvent>
#include <QKeyEvent>

namespace kestrova {

bool SpaceRepeatFilter::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return key->isAutoRepeat() && key->key() == Qt::Key_Space;
    }
    return false;
}

} // namespace kestrova
