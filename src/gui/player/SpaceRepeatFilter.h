#pragma once

#include <QObject>

namespace kestrova {

// Held down, the space bar repeats; each repeat would toggle the transmitter
// again and leave it in whatever state the release happens to catch. Installed
// on the sound window's key field, it swallows the repeats of the space bar.
class SpaceRepeatFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kestrova
