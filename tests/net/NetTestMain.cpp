#include <gtest/gtest.h>

#include <QCoreApplication>

// The sockets of network play need an event loop but no widgets: the network layer's tests run
// without Qt Widgets, which also proves that net/ does not use them.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
