#pragma once

// System seams the benchmarks' models get instead of the desktop's: nothing
// is inhibited and no widget is told to reload.

#include <QString>

#include "platform/SleepInhibitor.h"
#include "platform/WidgetReload.h"

namespace corvane::bench {

class NoInhibitor final : public SleepInhibitor {
public:
    void acquire(const QString&) override {}
    void release() override {}
};

class NoReload final : public WidgetReloader {
public:
    void reloadTimelines(const QString&) override {}
};

}  // namespace corvane::bench
