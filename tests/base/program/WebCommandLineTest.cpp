#include "base/program/CommandLine.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(WebCommandLineTest, TakesTheWebAddressAndThePasswordCommand) {
    const CommandLine web =
        parseCommandLine({"kestrova", "--web", "0.0.0.0:8080", "--program-folder", "/tmp/k"});
    EXPECT_TRUE(web.error.isEmpty());
    EXPECT_EQ(web.webAddress, QStringLiteral("0.0.0.0:8080"));
    EXPECT_FALSE(web.setWebPassword);
    EXPECT_TRUE(parseCommandLine({"kestrova", "--set-web-password"}).setWebPassword);
    EXPECT_FALSE(parseCommandLine({"kestrova", "--web"}).error.isEmpty());
    EXPECT_TRUE(helpText("kestrova").contains(QStringLiteral("--set-web-password")));
}

} // namespace
} // namespace kestrova
