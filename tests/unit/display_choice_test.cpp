#include <gtest/gtest.h>

#include "app/display_choice.h"
#include "platform/desktop_display.h"

TEST(DisplayChoice, ListNamesEachMonitorWithItsPlaceAndSize) {
    const std::vector<DisplayInfo> displays = {{0, "XWAYLAND0", {0, 0, 640, 360}},
                                               {1, "", {640, -200, 1920, 880}}};
    EXPECT_EQ(displayListText(displays),
              "0: XWAYLAND0 at 0,0, 640x360\n"
              "1: (no name) at 640,-200, 1280x1080\n");
    EXPECT_EQ(displayListText({}), "");
}

TEST(DisplayChoice, OnlyAnIndexBelowTheCountNamesAMonitor) {
    EXPECT_EQ(displayChoiceError(0, 1), "");
    EXPECT_EQ(displayChoiceError(1, 2), "");
    EXPECT_EQ(displayChoiceError(1, 1), "--display=1: there is no display 1 (this desktop has only display 0; see --list-displays)");
    EXPECT_EQ(displayChoiceError(2, 2), "--display=2: there is no display 2 (this desktop has displays 0 to 1; see --list-displays)");
    EXPECT_NE(displayChoiceError(0, 0), "");
}

TEST(WindowFit, AWindowTooLargeForItsMonitorShrinksWithItsAspect) {
    int w = 1280, h = 720;
    fitWindowSize(w, h, 1920, 1080);  // fits: as asked
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    fitWindowSize(w, h, 640, 1000);   // width decides
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 360);
    w = 1280, h = 720;
    fitWindowSize(w, h, 1000, 300);   // height decides
    EXPECT_EQ(w, 533);
    EXPECT_EQ(h, 300);
    w = 16384, h = 16;
    fitWindowSize(w, h, 800, 600);    // never below a pixel
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 1);
}

TEST(MonitorPlacement, FullScreenWaitsForTheWindowToStandOnItsMonitorOrForTheBound) {
    const DesktopRect monitor{640, 0, 1280, 360};
    const DesktopRect cascaded{32, 32, 672, 392};  // where a window manager put it first
    MonitorPlacement p{.waiting = true, .monitor = monitor};
    EXPECT_FALSE(fullScreenDue(p, monitor, 500'000));          // there, not yet steady
    EXPECT_FALSE(fullScreenDue(p, cascaded, 600'000));         // moved off: starts again
    EXPECT_FALSE(fullScreenDue(p, monitor, 650'000));
    EXPECT_FALSE(fullScreenDue(p, monitor, 849'999));
    EXPECT_TRUE(fullScreenDue(p, monitor, 850'000));           // 200 ms there
    EXPECT_FALSE(p.waiting);
    EXPECT_FALSE(fullScreenDue(p, monitor, 2'000'000));        // asked once only

    MonitorPlacement never{.waiting = true, .monitor = monitor};
    EXPECT_FALSE(fullScreenDue(never, cascaded, 3'000'000));
    EXPECT_FALSE(fullScreenDue(never, {-1, -1, -2, -2}, 3'999'999));  // position unknown
    EXPECT_TRUE(fullScreenDue(never, cascaded, 4'000'000));    // the bound from the first look

    MonitorPlacement shifted{.waiting = true, .monitor = monitor};
    EXPECT_FALSE(fullScreenDue(shifted, {640, 0, 1280, 392}, 0));  // its place, not its size
    EXPECT_FALSE(fullScreenDue(shifted, {640, 0, 1280, 392}, 900'000));
    MonitorPlacement none;
    EXPECT_FALSE(fullScreenDue(none, monitor, 5'000'000));        // nothing to wait for
}
