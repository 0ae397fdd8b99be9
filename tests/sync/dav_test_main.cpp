// The main of the WebDAV tests: a core application for the event loops the
// connection and the test servers' helpers wait in; no windows.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
