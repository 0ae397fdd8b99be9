// The one main of every test that shows windows: a QApplication on the
// offscreen platform for the whole run, the way the program runs.
#include "toolkit/beside_the_loop.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kesp::WaitForTheDiskBesideTheLoop();
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
