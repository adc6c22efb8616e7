#include "base/common/Cp1252.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(Cp1252, RoundTripsUmlautsAndTheSpecialBlock) {
    const QString text = QStringLiteral("Anschluß ÄÖÜäöü € – „x“");
    const QByteArray bytes = encodeCp1252(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(7)), 0xDF);  // ß
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(16)), 0x80); // €
    EXPECT_EQ(decodeCp1252(bytes), text);
    EXPECT_EQ(encodeCp1252(QStringLiteral("Ω")), QByteArray("?"));
}

} // namespace
} // namespace kestrova
