#include <QApplication>
#include <gtest/gtest.h>

// Tests that paint or show widgets need a QApplication; the offscreen platform keeps them
// headless.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
