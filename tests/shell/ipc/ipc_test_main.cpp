#include <gtest/gtest.h>

#include <QCoreApplication>

// The server tests run Qt's event loop; one application object serves every test.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
