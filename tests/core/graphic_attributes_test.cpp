#include "graphic_attributes.h"

#include <gtest/gtest.h>

namespace pikrotta {
namespace {

TEST(TgraAttribute, PenIndexMapsTheSparseNumbers) {
  const struct {
    int32_t pen, index;
  } cases[] = {{1, 0},   {9, 8},    {101, 9},  {356, 264}, {0, -1},
               {10, -1}, {100, -1}, {357, -1}, {-1, -1}};
  for (const auto& c : cases) EXPECT_EQ(TgraAttribute::PenIndex(c.pen), c.index) << c.pen;
}

TEST(TgraAttribute, UnmappedPensGetTheBackgroundAndDefaults) {
  const TgraAttribute a;
  for (int32_t pen : {0, 10, 100, 357}) {
    EXPECT_EQ(a.PenColor(pen), 0xFFFFFF) << pen;
    EXPECT_EQ(a.PenWidth(pen), 0.0) << pen;
    EXPECT_EQ(a.PointRadius(pen), 0.1) << pen;
  }
  EXPECT_EQ(a.BackgroundColor(), 0xFFFFFF);
  EXPECT_EQ(a.PenCount, 265);
}

TEST(TgraAttribute, ColourWidthAndRadiusTables) {
  const TgraAttribute a;
  EXPECT_EQ(a.PenColor(1), MakeColor(0, 192, 192));
  EXPECT_EQ(a.PenColor(2), 0);
  EXPECT_EQ(a.PenColor(101), 0);
  EXPECT_EQ(a.PenColor(9), MakeColor(255, 128, 255));
  EXPECT_EQ(a.PenColor(102), 0x0000FF);  // red in the low byte
  EXPECT_EQ(a.PenColor(116), MakeColor(128, 128, 128));
  EXPECT_EQ(a.PenColor(117), 0);
  EXPECT_EQ(a.PenColor(356), 0);
  EXPECT_EQ(a.PenWidth(1), 0.1);
  EXPECT_EQ(a.PenWidth(8), 0.5);
  EXPECT_EQ(a.PenWidth(9), 0.01);
  EXPECT_EQ(a.PenWidth(101), 0.18);
  EXPECT_EQ(a.PointRadius(2), 0.3);
  EXPECT_EQ(a.PointRadius(9), 0.2);
  EXPECT_EQ(a.PointRadius(200), 0.2);
}

}  // namespace
}  // namespace pikrotta
