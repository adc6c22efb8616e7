#include "base/program/FrontEnds.h"

#include "base/program/Circuit.h"

namespace kestrova {

FrontEnds::FrontEnds(Circuit& circuit, const WebSources& page, const QString& webAddress)
    : web_(WebServing::startIfAsked(page, webAddress, circuit.programFolder(),
                                    [this](const QString& path) { return manifests_.hashOf(path); })),
      links_(circuit.controlRoomSources(), web_ ? web_->pageBase() : QString()) {
    if (web_) {
        web_->followAlarms(links_.alarms());
    }
}

} // namespace kestrova
