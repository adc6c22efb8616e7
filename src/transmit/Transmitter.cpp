#include "transmit/Transmitter.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "platform/AudioOutput.h"
#include "ui/SettingsForm.h"

#include <QComboBox>

namespace kestrova {

Transmitter::Transmitter(Program& program) : program_(program) {}

// The port is opened by the serial control lines; until they are built the
// program runs as without a port, where no line ever changes.
void Transmitter::openControlPort() {}

void Transmitter::transmitterOn() {}

void Transmitter::transmitterOff() {}

void Transmitter::applyOutputVolume() {
    const auto level = static_cast<std::uint32_t>(program_.settings().values.outputLevel) & 0xFFFFu;
    program_.platform().audioOutput.setVolume(program_.frm_Einstellungen->cb_Device->currentIndex(),
                                              (level << 16) | level);
}

} // namespace kestrova
