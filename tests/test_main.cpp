#include <QGuiApplication>
#include <gtest/gtest.h>

// Tests that paint need a QGuiApplication; the offscreen platform keeps them
// headless.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
