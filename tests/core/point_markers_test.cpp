#include <cmath>
#include <numbers>

#include "gra_test_util.h"

namespace pikrotta {
namespace {

using test::GraTest;

class PointMarkers : public GraTest {
 protected:
  // Draws one marker of pen 2 at the origin and returns the calls.
  const std::vector<TCanvasCall>& Draw(int32_t code, double angle = 0, double size = 1) {
    Canvas.Calls.clear();
    Gra.DrawPointMarker(Canvas, code, 0, 0, angle, size, 2, 0);
    return Canvas.Calls;
  }
  size_t Lines() const { return Canvas.Count(TCallKind::LineTo); }
  size_t Polygons() const { return Canvas.Count(TCallKind::Polygon); }
};

TEST_F(PointMarkers, EveryCodeDrawsItsShape) {
  const struct {
    int32_t code;
    size_t lines, polygons;
  } cases[] = {
      {0, 72, 0}, {-1, 3, 0},  {-2, 72, 0}, {-3, 72, 0}, {-4, 2, 0}, {-5, 4, 0},  {-6, 3, 0},
      {-7, 2, 0}, {1, 0, 1},   {2, 0, 1},   {3, 72, 0},  {4, 72, 0}, {5, 0, 1},   {6, 0, 1},
      {7, 72, 0}, {8, 144, 0}, {9, 2, 0},   {10, 1, 0},  {11, 0, 1}, {12, 72, 0}, {-8, 72, 0},
  };
  for (const auto& c : cases) {
    Draw(c.code);
    EXPECT_EQ(Lines(), c.lines) << c.code;
    EXPECT_EQ(Polygons(), c.polygons) << c.code;
    EXPECT_EQ(Canvas.Pen, (TPen{0, 0, psSolid, pmCopy})) << c.code;  // the entity pen
    EXPECT_TRUE(Gra.WorldPoints.empty());
  }
}

TEST_F(PointMarkers, BrushesOfTheFilledMarkers) {
  const struct {
    int32_t code;
    TBrush brush;
  } cases[] = {
      {1, {0xFFFFFF, bsSolid}}, {2, {0xFFFFFF, bsSolid}},  {5, {0, bsSolid}},
      {6, {0, bsSolid}},        {11, {0xFFFFFF, bsClear}},
  };
  for (const auto& c : cases) {
    Canvas.Brush = {0xFFFFFF, bsClear};
    Draw(c.code);
    ASSERT_EQ(Polygons(), 1u);
    EXPECT_EQ(Canvas.Calls.back().Brush, c.brush) << c.code;
  }
}

TEST_F(PointMarkers, ArrowheadTipSitsOnThePointAndTurnsWithTheAngle) {
  Draw(1);
  EXPECT_EQ(Canvas.Calls.back().Points(),
            (std::vector<TPoint>{{500, 500}, {425, 487}, {425, 512}}));  // points to +x
  Draw(1, std::numbers::pi / 2);
  EXPECT_EQ(Canvas.Calls.back().Points(),
            (std::vector<TPoint>{{500, 500}, {488, 575}, {513, 575}}));  // points up
}

TEST_F(PointMarkers, SizeScalesEveryLengthAndZeroMeansOne) {
  Draw(-4, 0, 0);
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{500, 487}));  // 1.25 mm arm: 512.5 -> 513
  Draw(-4, 0, 2);
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{500, 475}));  // 2.5 mm arm
  Draw(8, 0, 2);
  // The S-curve starts at (t, t) * 2 with t = 1.25 * sqrt(2): 35.36 pixels from the point.
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{535, 465}));
  Draw(2, 0, -3);
  EXPECT_EQ(Canvas.Calls.back().Points()[0], (TPoint{488, 512}));
}

TEST_F(PointMarkers, PlainDotRadiusAndItsOnePixelMinimum) {
  // Pen 3: point radius 0.4 mm, width 0.2 mm -> 0.5 mm, 5 pixels at this zoom.
  Canvas.Calls.clear();
  Gra.DrawPointEntity(Canvas, TJwwEntPoint{{0, 0, 3, 1, 0}, 0, 0});
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{505, 500}));
  EXPECT_EQ(Canvas.Calls.back().Brush, (TBrush{MakeColor(0, 192, 0), bsSolid}));
  // A LineWidth of 100 (1 mm) replaces the pen width: 0.4 + 0.5 mm.
  Canvas.Calls.clear();
  Gra.DrawPointEntity(Canvas, TJwwEntPoint{{0, 0, 3, 1, 100}, 0, 0});
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{509, 500}));
  // Zoomed out to 0.1 pixel per mm the radius is one pixel: 10 mm.
  View.ViewScale = 0.1;
  View.CentreAt(0, 0);
  Canvas.Calls.clear();
  Gra.DrawPointEntity(Canvas, TJwwEntPoint{{0, 0, 3, 1, 0}, 0, 0});
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{501, 500}));
}

TEST_F(PointMarkers, PointsAreDividedByTheirGroupScale) {
  Model.LayerGroupScale[1] = 2;
  Gra.DrawPointExEntity(Canvas, TJwwEntPointEx{{1, 0, 2, 1, 0}, 20, 10, 1, 90, 10});
  // The tick from (10, 5) + (-1.77, 1.77): the 45-degree end turned by 90 degrees.
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{582, 432}));
  Model.NoScale = true;
  Canvas.Calls.clear();
  Gra.DrawPointExEntity(Canvas, TJwwEntPointEx{{1, 0, 2, 1, 0}, 20, 10, 1, 90, 10});
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{682, 382}));  // from (20, 10)
}

}  // namespace
}  // namespace pikrotta
