#include "window_geometry.h"

#include <gtest/gtest.h>

namespace pikrotta::win32 {
namespace {

TEST(ScreenFromWorkspace, MovesByTheBarsAtTheTopAndLeftOnly) {
  const RECT placed{100, 50, 700, 550};
  const struct {
    const char* where;
    RECT monitor, work, screen;
  } cases[] = {
      {"no bar", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {100, 50, 700, 550}},
      {"bar at the bottom", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, {100, 50, 700, 550}},
      {"bar at the top", {0, 0, 1920, 1080}, {0, 40, 1920, 1080}, {100, 90, 700, 590}},
      {"bar at the left", {0, 0, 1920, 1080}, {62, 0, 1920, 1080}, {162, 50, 762, 550}},
      {"left monitor, bar at the left",
       {-1280, 0, 0, 1024},
       {-1220, 0, 0, 1024},
       {160, 50, 760, 550}},
  };
  for (const auto& c : cases) {
    const RECT r = ScreenFromWorkspace(placed, c.monitor, c.work);
    EXPECT_TRUE(r.left == c.screen.left && r.top == c.screen.top && r.right == c.screen.right &&
                r.bottom == c.screen.bottom)
        << c.where << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

}  // namespace
}  // namespace pikrotta::win32
