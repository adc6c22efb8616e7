#pragma once

namespace kestrova {

class Program;

// Connects the push-to-talk button, the pin fields and the volume slider.
void wireTransmitEvents(Program& program);

} // namespace kestrova
