// The settings file reader and the rules that turn its lines into values.
#include "base/common/Cp1252.h"
#include "base/common/NumericValue.h"
#include "base/settings/SettingsFile.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = kestrova::fuzz::bytesOf(data, size);
    const auto lines = kestrova::readSettingsLines(kestrova::fuzz::writeScratchFile(bytes));
    if (lines) {
        for (const QString& line : *lines) {
            kestrova::roundToWhole(kestrova::numericValue(line) * 1000);
            kestrova::wholePart(kestrova::numericValue(line) * 655.35);
            const kestrova::PinLine pins = kestrova::unpackPinLine(line);
            kestrova::packPinLine(pins.pttText, pins.squelchText);
        }
    }
    kestrova::encodeCp1252(kestrova::decodeCp1252(bytes));
    return 0;
}
