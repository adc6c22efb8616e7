#include <QCoreApplication>
#include <gtest/gtest.h>

// The base's tests run without a window system, as the base itself does.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
