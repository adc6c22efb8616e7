#pragma once

namespace kestrova {

class Services;

// Connects the push-to-talk button, the pin fields, the volume slider, Auto-CQ with
// its squelch watch, and the timed actions, whose timer it starts.
void wireTransmitEvents(Services& program);

} // namespace kestrova
