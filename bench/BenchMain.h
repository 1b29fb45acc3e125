#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

namespace corvane::bench {

// The main of a benchmark that needs a Qt application object of type App
// (QCoreApplication, QGuiApplication or QApplication); windows, if any, go
// to the offscreen platform.
template <typename App>
int runWithQt(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace corvane::bench
