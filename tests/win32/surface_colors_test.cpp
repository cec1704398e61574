#include "surface_colors.h"

#include <gtest/gtest.h>

namespace pikrotta::win32 {
namespace {

constexpr TSurface kSurfaces[] = {TSurface::Form, TSurface::Panel,      TSurface::Edit,
                                  TSurface::Memo, TSurface::StatusLine, TSurface::Face};

// Under high contrast no surface keeps a colour of the design, and every text is the system's
// partner of its background: window text on window, button text on button face.
TEST(SurfaceColors, HighContrastUsesTheUsersPairsEverywhere) {
  for (const TSurface surface : kSurfaces) {
    const TSurfaceColors colors = SurfaceColors(surface, true);
    const int s = static_cast<int>(surface);
    if (colors.Background == COLOR_WINDOW) {
      EXPECT_EQ(colors.Text, COLOR_WINDOWTEXT) << s;
    } else {
      EXPECT_EQ(colors.Background, COLOR_BTNFACE) << s;
      EXPECT_EQ(colors.Text, COLOR_BTNTEXT) << s;
    }
  }
  EXPECT_EQ(SurfaceColors(TSurface::Memo, true).Background, COLOR_WINDOW);
  EXPECT_EQ(SurfaceColors(TSurface::Edit, true).Background, COLOR_WINDOW);
}

TEST(SurfaceColors, ANormalThemeKeepsTheDesign) {
  for (const TSurface surface : kSurfaces) {
    const TSurfaceColors colors = SurfaceColors(surface, false);
    EXPECT_EQ(colors.Background, surface == TSurface::Face ? COLOR_BTNFACE : -1)
        << static_cast<int>(surface);
    EXPECT_EQ(colors.Text, COLOR_WINDOWTEXT);
  }
}

}  // namespace
}  // namespace pikrotta::win32
