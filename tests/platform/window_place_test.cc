// Saved window places: kept when the window, title bar included, shows whole on
// a present screen; otherwise moved onto one.
#include "platform/qt/window_place.h"

#include <gtest/gtest.h>

namespace tabulon::test {
namespace {

TEST(WindowPlace, ASavedPlaceShowsWholeOnAPresentScreen) {
    const QList<QRect> screens = {QRect(0, 0, 1600, 900), QRect(1600, 0, 1280, 1024)};
    const QSize size(380, 340);
    const std::pair<QPoint, QPoint> cases[] = {
        // saved, placed
        {{10, 50}, {10, 50}},         // the default place
        {{1700, 300}, {1700, 300}},   // on the second screen
        {{0, 0}, {8, 32}},            // saved by Wayland: the title bar was off the screen
        {{3000, 2000}, {1212, 552}},  // an unplugged monitor: onto the primary screen
        {{1500, 100}, {1212, 100}},   // across two screens: onto the one it starts on
        {{2800, 900}, {2492, 676}},   // off the second screen's corner
        {{-500, 400}, {8, 400}},
    };
    for (const auto& [saved, placed] : cases)
        EXPECT_EQ(placeOnScreens(screens, saved, size), placed) << saved.x() << "," << saved.y();
    EXPECT_EQ(placeOnScreens({}, {5, 5}, size), QPoint(5, 5));  // no screen known
}

// A window opening bigger than its screen (a 1366x768 screen at scale 2 is
// 683x384) shrinks to fit, title bar included, down to its minimum.
TEST(WindowPlace, AWindowOpensWithinItsScreen) {
    const QRect screen(0, 0, 683, 384);
    EXPECT_EQ(fitOnScreen(screen, {50, 60, 760, 480}, {300, 200}), QRect(8, 32, 667, 344));
    EXPECT_EQ(fitOnScreen(screen, {50, 60, 300, 200}, {300, 200}), QRect(50, 60, 300, 200));
    EXPECT_EQ(fitOnScreen(screen, {50, 60, 760, 480}, {700, 400}), QRect(8, 32, 700, 400));
}

}  // namespace
}  // namespace tabulon::test
