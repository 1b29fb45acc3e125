// The single digital clock rebuilds its block when the date line is switched
// off or on; the ticks after it must only touch lines that still exist.

#include <gtest/gtest.h>

#include "appmodel/ModelHarness.h"
#include "shell/components/Theme.h"
#include "shell/views/FittedText.h"
#include "shell/views/RootView.h"

using namespace corvane;
using namespace corvane::testing;

TEST(DigitalBlock, DateLineSwitchedOffAndOnWhileTicking) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.clocks.resize(1);
    s.showDate = true;
    h.writeSettings(s);
    AppModel& model = h.make();
    QWidget host;
    ThemeProvider provider;
    ThemeProvider::attach(&host, &provider);
    auto* root = new RootView(model, &host);
    host.resize(760, 460);
    root->setGeometry(host.rect());
    host.show();
    h.settle();
    const auto lines = [&] { return root->findChildren<FittedText*>().size(); };
    const auto withDate = lines();
    for (bool show : {false, true, false}) {
        model.editSettings([&](AppSettings& next) { next.showDate = show; });
        h.advance(2.0);
        h.settle();
        EXPECT_EQ(lines(), show ? withDate : withDate - 1);
    }
}
