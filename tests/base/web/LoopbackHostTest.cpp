#include "base/web/LoopbackHost.h"

#include "base/web/WebSettings.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(LoopbackHostTest, AnyLoopbackNameWithOrWithoutAPortAndNothingElse) {
    for (const char* host : {"localhost", "LocalHost:8080", "127.0.0.1", "127.0.0.1:8080", "127.0.0.2:8080",
                             "127.255.3.4", "[::1]", "[::1]:8080"}) {
        EXPECT_TRUE(isLoopbackHost(host)) << host;
    }
    for (const char* host : {"", "fremd.example:8080", "127.0.0.1.fremd.example", "localhost.fremd.example",
                             "128.0.0.1", "0.0.0.0:8080", "192.168.1.5", "::1", "[::2]:8080", "[127.0.0.1]",
                             "127.0.0.1:port", "localhost:99999"}) {
        EXPECT_FALSE(isLoopbackHost(host)) << host;
    }
}

TEST(LoopbackHostTest, AgreesWithTheAddressesThePageTakesWithoutAPassword) {
    for (const char* text : {"127.0.0.1:8080", "127.0.0.2:8080", "127.9.9.9:80", "[::1]:8080",
                             "localhost:8080", "0.0.0.0:8080", "192.168.1.5:8080", "[::]:8080"}) {
        const std::optional<WebAddress> address = parseWebAddress(QString::fromLatin1(text));
        ASSERT_TRUE(address) << text;
        EXPECT_EQ(isLoopbackHost(text), webStartRefusal(*address, {}).isEmpty()) << text;
    }
}

} // namespace
} // namespace kestrova
