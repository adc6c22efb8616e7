#include "base/web/Microhttpd.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

// The page's server runs only on a library with every function it calls; otherwise
// the operator reads which library and why, and nothing is called through a gap.
TEST(MicrohttpdTest, ServesOnlyWithTheWholeLibraryAndSaysWhyNot) {
    const Microhttpd built;
    ASSERT_NE(built.functions(), nullptr) << built.failure().toStdString();
    EXPECT_TRUE(built.failure().isEmpty());

    const Microhttpd absent(QStringLiteral("libkestrova-gibt-es-nicht.so.1"));
    EXPECT_EQ(absent.functions(), nullptr);
    EXPECT_TRUE(absent.failure().startsWith(QStringLiteral("Die Webseite braucht die Bibliothek")));

    const Microhttpd another(QStringLiteral("libz.so.1"));
    EXPECT_EQ(another.functions(), nullptr);
    EXPECT_TRUE(another.failure().contains(QStringLiteral("fehlt MHD_start_daemon")));
}

} // namespace
} // namespace kestrova
