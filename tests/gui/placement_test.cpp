// Where the help window opens beside a dialog: right, else left, narrowed to the room, else
// where it covers least of the dialog.
#include "gui/placement.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceBeside, RightElseLeftElseWhereItCoversLeast) {
    const QSize preferred(640, 560);
    const struct {
        QRect screen, owner, expected;
    } cases[] = {
        // Room to the right, narrowed to it.
        {{0, 0, 1280, 1024}, {320, 378, 640, 330}, {960, 378, 320, 560}},
        // The full width where it fits; held up from the screen's bottom.
        {{0, 0, 1920, 1080}, {100, 700, 640, 330}, {740, 520, 640, 560}},
        // No room right: left.
        {{0, 0, 1280, 1024}, {620, 100, 640, 330}, {0, 100, 620, 560}},
        // No room either side: as far right as the screen allows, covering least.
        {{0, 0, 800, 600}, {80, 135, 640, 330}, {160, 40, 640, 560}},
        // A screen that does not start at 0.
        {{1280, 0, 1280, 1024}, {1600, 300, 640, 330}, {2240, 300, 320, 560}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceBeside(c.owner, preferred, 300, c.screen), c.expected)
            << c.owner.x() << "," << c.owner.y() << " on " << c.screen.width();
}

} // namespace
