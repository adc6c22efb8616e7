#include "base/program/ControlRoomLinks.h"

#include "base/archive/Archive.h"

namespace kestrova {

ControlRoomLinks::ControlRoomLinks(const ControlRoomSources& sources, const QString& pageBase)
    : sources_(sources), filed_(sources.settings) {
    filed_.setPageBase(pageBase);
    filed_.follow(sources_.archive);
}

ControlRoomLinks::~ControlRoomLinks() = default;

void ControlRoomLinks::finish() {
    filed_.finish();
}

} // namespace kestrova
