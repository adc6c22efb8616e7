#include "gui/app/RealPlatform.h"

namespace kestrova {

RealPlatform::RealPlatform(const QString& programTitle, const QString& programFolder,
                           const QString& inputFile)
    : devices_(programFolder, inputFile, false), dialogs_(programTitle) {}

} // namespace kestrova
