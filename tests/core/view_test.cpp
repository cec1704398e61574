#include "view.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "transfer_test_util.h"

namespace pikrotta {
namespace {

using test::ReadTransferText;

struct Extents {
  double Left, Bottom, Right, Top;
};

Extents ExtentsOf(std::string_view text) {
  TView v;
  v.ComputeExtents(ReadTransferText(text));
  return {v.ExtentLeft, v.ExtentBottom, v.ExtentRight, v.ExtentTop};
}

void ExpectExtents(std::string_view text, Extents e) {
  const Extents got = ExtentsOf(text);
  EXPECT_NEAR(got.Left, e.Left, 1e-9) << text;
  EXPECT_NEAR(got.Bottom, e.Bottom, 1e-9) << text;
  EXPECT_NEAR(got.Right, e.Right, 1e-9) << text;
  EXPECT_NEAR(got.Top, e.Top, 1e-9) << text;
}

TEST(ComputeExtents, SpecialCounts) {
  ExpectExtents("", {-100, -100, 100, 100});
  ExpectExtents("pt 10 20\n", {-90, -80, 110, 120});  // one entity: widened by 100
  ExpectExtents("0 0 10 5\n1 1 2 2\n", {0, 0, 10, 5});
}

TEST(ComputeExtents, ArcsIncludeTheQuadrantPointsTheyPass) {
  // 350..10 passes 0 degrees: the point (10, 0).
  ExpectExtents("0 0 1 0\nci 0 0 10 350 10 1 0\n",
                {0, -10 * std::sin(10 * std::numbers::pi / 180), 10,
                 10 * std::sin(10 * std::numbers::pi / 180)});
  // 10..350 passes 90, 180 and 270 but not 0.
  const Extents e = ExtentsOf("0 0 0 0.1\nci 0 0 10 10 350 1 0\n");
  EXPECT_NEAR(e.Left, -10, 1e-9);
  EXPECT_NEAR(e.Top, 10, 1e-9);
  EXPECT_NEAR(e.Bottom, -10, 1e-9);
  EXPECT_NEAR(e.Right, 10 * std::cos(10 * std::numbers::pi / 180), 1e-9);
  // Equal angles: the whole ellipse, flattened and tilted by 90 degrees.
  ExpectExtents("0 0 0 0\nci 0 0 10 30 30 0.5 90\n", {-5, -10, 5, 10});
  // A circle counts as its four axis points.
  ExpectExtents("0 0 0 0\nci 5 5 5\n", {0, 0, 10, 10});
}

TEST(ComputeExtents, ImageReferenceAddsItsFarCorner) {
  ExpectExtents("0 0 0 0\nch 0 0 1 0 ^@BMa.bmp,100,50\n", {0, 0, 100, 50});
  ExpectExtents("0 0 0 0\nch 0 0 1 0 ^@BMa.bmp,30\n", {0, 0, 30, 30});
  ExpectExtents("0 0 0 0\nch 0 0 1 0 ^@BMa.bmp\n", {0, 0, 0, 0});
  ExpectExtents("0 0 0 0\nch 0 0 1 0 ^@bma.bmp,100,50\n", {0, 0, 0, 0});
  // In a scaled group the frame starts at the scaled base point and keeps its size.
  ExpectExtents("hs 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1\nlg1\n0 0 0 0\nch 100 0 1 0 ^@BMa.bmp,10,10\n",
                {0, 0, 60, 10});
}

TEST(ComputeExtents, LayerGroupScaleAndNoScale) {
  const std::string scaled = "hs 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1\nlg1\n0 0 100 100\n0 0 0 0\n";
  ExpectExtents(scaled, {0, 0, 50, 50});
  ExpectExtents(scaled + "bz\n", {0, 0, 100, 100});
}

TEST(ComputeExtents, SeedComesFromTheFirstNonEmptyTableInItsOrder) {
  // The text comes first in the file but lines are seeded first; the far line decides.
  ExpectExtents("ch 5 5 1 0 x\n20 20 30 30\n", {5, 5, 30, 30});
}

TEST(ComputeExtents, ArcSolidsUseRadiansAndNegativeSweeps) {
  // A quarter from 0 swept back by -pi/2 is the quarter from 270 to 360 degrees.
  const Extents e = ExtentsOf("0 0 0 0\nsc 0 0 10 1 0 0 -1.5707963267948966 0\n");
  EXPECT_NEAR(e.Bottom, -10, 1e-9);
  EXPECT_NEAR(e.Right, 10, 1e-9);
  EXPECT_NEAR(e.Top, 0, 1e-9);
}

TEST(ComputeExtents, OnlyBlockReferencesKeepThePreviousExtents) {
  TView v;
  v.ComputeExtents(ReadTransferText("BL 5 5 b\n"));
  EXPECT_EQ(v.ExtentLeft, -100);  // zero at start, widened for the one entity
  EXPECT_EQ(v.ExtentTop, 100);
  v.ComputeExtents(ReadTransferText("BL 5 5 b\nBL 6 6 c\n"));
  EXPECT_EQ(v.ExtentLeft, -100);
}

TEST(ComputeExtents, FarCoordinatesAreClamped) {
  ExpectExtents("-1e12 -1e12 1e12 1e12\n", {-1e8, -1e8, 1e8, 1e8});
  // Wholly beyond the bound on one side: both edges at the bound, not one out there.
  ExpectExtents("3e8 0 3.00001e8 10\n3e8 20 3.00001e8 30\n", {1e8, 0, 1e8, 30});
  ExpectExtents("-3e8 -5e8 -2e8 -4e8\n0 -3e8 0 -2e8\n", {-1e8, -1e8, 0, -1e8});
  ExpectExtents("0 0 1 1\npt 1.7e308 -1.7e308\n", {0, -1e8, 1e8, 1});
}

TEST(FitToWindow, EmptyModelCentresTheOrigin) {
  TView v;
  v.FitToWindow(TJwwGaibu{}, 800, 600);
  EXPECT_DOUBLE_EQ(v.ViewScale, 600 / 200.0 * 0.9);
  EXPECT_DOUBLE_EQ(v.ViewLeft + v.ViewRight, 0);
  EXPECT_DOUBLE_EQ(v.ViewBottom + v.ViewTop, 0);
  EXPECT_DOUBLE_EQ((v.ViewRight - v.ViewLeft) * v.ViewScale, 800);
  EXPECT_DOUBLE_EQ((v.ViewTop - v.ViewBottom) * v.ViewScale, 600);
}

TEST(FitToWindow, DegenerateExtentsUseTheOtherDimension) {
  TView v;
  v.FitToWindow(ReadTransferText("0 0 0 100\n0 0 0 50\n"), 400, 400);  // a vertical line
  EXPECT_DOUBLE_EQ(v.ViewScale, 400 / 100.0 * 0.9);
  EXPECT_DOUBLE_EQ((v.ViewBottom + v.ViewTop) / 2, 50);
}

TEST(FitToWindow, SavesThePreviousViewAndSurvivesAnEmptyPaintArea) {
  TView v;
  v.FitToWindow(TJwwGaibu{}, 800, 600);
  const double scale = v.ViewScale, left = v.ViewLeft;
  v.FitToWindow(ReadTransferText("0 0 10 10\n1 1 2 2\n"), 800, 600);
  EXPECT_EQ(v.PrevViewScale, scale);
  EXPECT_EQ(v.PrevViewLeft, left);
  v.FitToWindow(TJwwGaibu{}, 0, 0);
  EXPECT_TRUE(std::isfinite(v.ViewScale) && v.ViewScale > 0);
  EXPECT_TRUE(std::isfinite(v.ViewLeft));
}

TEST(ResizeView, KeepsCentreAndScale) {
  TView v;
  v.FitToWindow(ReadTransferText("0 0 10 10\n1 1 2 2\n"), 800, 600);
  const TView before = v;
  v.ResizeView(400, 300);
  EXPECT_EQ(v.ViewScale, before.ViewScale);
  EXPECT_DOUBLE_EQ(v.ViewLeft + v.ViewRight, before.ViewLeft + before.ViewRight);
  EXPECT_DOUBLE_EQ((v.ViewRight - v.ViewLeft) * v.ViewScale, 400);
  EXPECT_EQ(v.PrevViewScale, before.PrevViewScale);
}

TEST(WorldToScreen, RoundsHalfAwayAndFlipsY) {
  TView v;
  v.ViewScale = 2;
  v.ViewLeft = -10;
  v.ViewBottom = -5;
  v.ViewHeight = 100;
  EXPECT_EQ(v.WorldToScreenX(-10), 0);
  EXPECT_EQ(v.WorldToScreenX(-8.75), 3);  // 2.5 rounds away from zero
  EXPECT_EQ(v.WorldToScreenX(-11.25), -3);
  EXPECT_EQ(v.WorldToScreenY(-5), 100);
  EXPECT_EQ(v.WorldToScreenY(0), 90);
  EXPECT_DOUBLE_EQ(v.ScreenToWorldX(4), -8);
}

TEST(NormalizeDegrees, BringsAnglesIntoOneTurn) {
  EXPECT_EQ(NormalizeDegrees(370), 10);
  EXPECT_EQ(NormalizeDegrees(-10), 350);
  EXPECT_EQ(NormalizeDegrees(360), 0);
  EXPECT_EQ(NormalizeDegrees(-1e-20), 0);
  const double huge = NormalizeDegrees(1e300);  // must not loop for ever
  EXPECT_TRUE(huge >= 0 && huge < 360);
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

// Before, a first entity of a group whose scale is 0 seeded the extents with 0/0, the whole
// view became not a number and every call landed on one pixel. Placed later it was harmless;
// now it is harmless first too.
TEST(ComputeExtents, PointsThatAreNotFiniteTakeNoPart) {
  const std::string zeroScale = "hs 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\n";
  const std::string others = "lg1\n0 0 100 100\nci 50 50 20\n";
  ExpectExtents(zeroScale + "0 0 5 5\n" + others, {0, 0, 100, 100});  // 0/0 first
  ExpectExtents(zeroScale + others + "lg0\n0 0 5 5\n", {0, 0, 100, 100});
  ExpectExtents(zeroScale + "3 4 5 5\n" + others, {0, 0, 100, 100});  // 3/0: infinite
  TView v;
  v.FitToWindow(ReadTransferText(zeroScale + "0 0 5 5\n" + others), 800, 600);
  EXPECT_NEAR(v.ViewScale, 600 / 100.0 * 0.9, 1e-12);
}

// ViewHeight minus a saturated value overflowed; far below stays far below now.
TEST(WorldToScreen, FarOffPointsSaturateOnTheirOwnSide) {
  TView v;
  v.ViewScale = 1;
  v.ViewWidth = 800;
  v.ViewHeight = 600;
  v.CentreAt(0, 0);
  EXPECT_EQ(v.WorldToScreenY(-1e15), INT32_MAX);
  EXPECT_EQ(v.WorldToScreenY(1e15), 600 - INT32_MAX);
  EXPECT_EQ(v.WorldToScreenX(-1e15), INT32_MIN);
  EXPECT_EQ(v.WorldToScreenX(1e15), INT32_MAX);
}

}  // namespace
}  // namespace pikrotta
