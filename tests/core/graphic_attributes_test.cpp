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

// The whole pen table as Jw_cad's colours are documented, against the constructor's.
TEST(TgraAttribute, ColourWidthAndRadiusTables) {
  const TgraAttribute a;
  const struct {
    int32_t pen, r, g, b;
  } colours[] = {
      {1, 0, 192, 192},     {2, 0, 0, 0},       {3, 0, 192, 0},      {4, 192, 192, 0},
      {5, 192, 0, 192},     {6, 0, 0, 255},     {7, 0, 128, 128},    {8, 255, 0, 128},
      {9, 255, 128, 255},   {101, 0, 0, 0},     {102, 255, 0, 0},    {103, 0, 255, 0},
      {104, 0, 0, 255},     {105, 255, 255, 0}, {106, 255, 0, 255},  {107, 0, 255, 255},
      {108, 0, 0, 0},       {109, 192, 0, 128}, {110, 192, 128, 64}, {111, 255, 128, 0},
      {112, 128, 192, 128}, {113, 0, 128, 255}, {114, 128, 64, 255}, {115, 192, 192, 192},
      {116, 128, 128, 128}};
  for (const auto& c : colours) EXPECT_EQ(a.PenColor(c.pen), MakeColor(c.r, c.g, c.b)) << c.pen;
  EXPECT_EQ(a.PenColor(102), 0x0000FF);  // red in the low byte
  for (int32_t pen = 117; pen <= 356; ++pen) EXPECT_EQ(a.PenColor(pen), 0) << pen;

  const double widths[] = {0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.5, 0.01};
  const double radii[] = {0.2, 0.3, 0.4, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2};
  for (int32_t pen = 1; pen <= 9; ++pen) {
    EXPECT_EQ(a.PenWidth(pen), widths[pen - 1]) << pen;
    EXPECT_EQ(a.PointRadius(pen), radii[pen - 1]) << pen;
  }
  for (int32_t pen = 101; pen <= 356; ++pen) {
    EXPECT_EQ(a.PenWidth(pen), 0.18) << pen;
    EXPECT_EQ(a.PointRadius(pen), 0.2) << pen;
  }
}

}  // namespace
}  // namespace pikrotta
