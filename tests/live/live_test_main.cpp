#include <gtest/gtest.h>

#include <QCoreApplication>

// The server's thread and the results' worker report back through the event loop.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
