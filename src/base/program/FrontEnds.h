#pragma once

#include "base/integrity/ManifestLookup.h"
#include "base/program/ControlRoomLinks.h"
#include "base/program/WebServing.h"

#include <QString>
#include <memory>

namespace kestrova {

class Circuit;

// What a running program shows of its circuit beyond itself: the web page (when the
// command line or the web settings ask for one), with each recording's hash as its
// manifest holds it, and the links to a control room. Made once the program folder
// is taken and before the start, whose messages may wait for an answer.
class FrontEnds {
public:
    // The page at `webAddress` (empty: where the web settings say) shows `page`.
    FrontEnds(Circuit& circuit, const WebSources& page, const QString& webAddress);
    FrontEnds(const FrontEnds&) = delete;
    FrontEnds& operator=(const FrontEnds&) = delete;

    // Once the settings are read: the broker hears the circuit's own name, and the
    // page knows the folder of the recordings the commands are told of.
    void start() { links_.start(); }
    // After the program's own end: the recording it saved last is passed on too.
    void finish() { links_.finish(); }

private:
    ManifestLookup manifests_;
    const std::unique_ptr<WebServing> web_;
    ControlRoomLinks links_;
};

} // namespace kestrova
