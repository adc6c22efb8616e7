#include "gui/app/RealPlatform.h"

namespace kestrova {

RealPlatform::RealPlatform(const QString& programTitle, const QString& programFolder,
                           const QString& inputFile)
    : devices_(programFolder, inputFile, false, MachineDevices::InputListing::PortAudio),
      dialogs_(programTitle) {}

} // namespace kestrova
