#include <gtest/gtest.h>

#include <QCoreApplication>

// The companion's tests start processes and listen on local sockets; Qt wants one
// application object for them.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
