#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "gra_test_util.h"

namespace pikrotta {
namespace {

using test::GraTest;
using Args = std::vector<int32_t>;

TEST_F(GraTest, DrawPixelRectThreeCases) {
  TGra::DrawPixelRect(Canvas, 0, 0, 2, 2);
  EXPECT_TRUE(Canvas.Calls.empty());
  TGra::DrawPixelRect(Canvas, 0, 0, 3, 1);  // only wide: a line along y1, end pixel set
  ASSERT_EQ(Canvas.Calls.size(), 3u);
  EXPECT_EQ(Canvas.Calls[0].Args, (Args{0, 0}));
  EXPECT_EQ(Canvas.Calls[1].Args, (Args{3, 0}));
  EXPECT_EQ(Canvas.Calls[2].Kind, TCallKind::SetPixel);
  EXPECT_EQ(Canvas.Calls[2].Args, (Args{3, 0, 0}));
  Canvas.Calls.clear();
  TGra::DrawPixelRect(Canvas, 5, 5, 6, 9);  // only tall: a line along x1
  EXPECT_EQ(Canvas.Calls[1].Args, (Args{5, 9}));
  Canvas.Calls.clear();
  TGra::DrawPixelRect(Canvas, 5, 5, 9, 9);
  ASSERT_EQ(Canvas.Calls.size(), 1u);
  EXPECT_EQ(Canvas.Calls[0].Kind, TCallKind::Rectangle);
}

TEST_F(GraTest, PensAndBrushes) {
  Gra.SetEntityPen(Canvas, 6, 2);
  EXPECT_EQ(Canvas.Pen, (TPen{0xFF0000, 0, psDot, pmCopy}));
  EXPECT_EQ(Canvas.Brush.Style, bsClear);
  Gra.SetEntityPen(Canvas, 6, 31);
  EXPECT_EQ(Canvas.Pen.Style, psSolid);
  Gra.SetEntityPen(Canvas, 6, 1);
  EXPECT_EQ(Canvas.Pen.Style, psSolid);

  const TBrushStyle brushes[] = {bsClear,     bsSolid, bsHorizontal, bsVertical, bsFDiagonal,
                                 bsBDiagonal, bsCross, bsDiagCross,  bsClear};
  for (int32_t code = 0; code <= 8; ++code) {
    Gra.SetEntityBrush(Canvas, 3, code);
    EXPECT_EQ(Canvas.Brush, (TBrush{MakeColor(0, 192, 0), brushes[code]})) << code;
  }
  const TPenStyle pens[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psSolid};
  for (int32_t code = 0; code <= 6; ++code) {
    TGra::SetScreenPen(Canvas, 0x123456, code, 3);
    EXPECT_EQ(Canvas.Pen.Style, pens[code]) << code;
    EXPECT_EQ(Canvas.Pen.Width, 3);
  }
  TGra::SetXorPen(Canvas);
  EXPECT_EQ(Canvas.Pen.Mode, pmXor);
}

TEST_F(GraTest, ClearPaintAreaFillsAndLeavesAClearBrush) {
  TGra::SetXorPen(Canvas);
  Gra.ClearPaintArea(Canvas, 640, 480);
  ASSERT_EQ(Canvas.Calls.size(), 1u);
  const TCanvasCall& fill = Canvas.Calls[0];
  EXPECT_EQ(fill.Args, (Args{0, 0, 640, 480}));
  EXPECT_EQ(fill.Pen.Mode, pmCopy);
  EXPECT_EQ(fill.Pen.Color, 0xFFFFFF);
  EXPECT_EQ(fill.Pen.Width, 1);
  EXPECT_EQ(fill.Brush, (TBrush{0xFFFFFF, bsSolid}));
  EXPECT_EQ(Canvas.Brush.Style, bsClear);
}

TEST_F(GraTest, WorldLineIsClippedThenMapped) {
  Gra.DrawWorldLine(Canvas, 0, 0, 500, 0);  // far beyond the right edge
  ASSERT_EQ(Canvas.Calls.size(), 3u);
  EXPECT_EQ(Canvas.Calls[0].Args, (Args{500, 500}));
  EXPECT_EQ(Canvas.Calls[1].Args, (Args{1000, 500}));
  Canvas.Calls.clear();
  Gra.DrawWorldLine(Canvas, 1.01, 1.01, 1.01, 1.01);  // zero length: one pixel
  ASSERT_EQ(Canvas.Calls.size(), 3u);
  EXPECT_EQ(Canvas.Calls[2].Args, (Args{510, 490, 0}));
  Canvas.Calls.clear();
  Gra.DrawWorldLine(Canvas, -50, -40, -50, 40);  // along the left edge: rejected
  EXPECT_TRUE(Canvas.Calls.empty());
}

TEST_F(GraTest, PolylineThatLeavesAndReentersIsDrawnInRuns) {
  Gra.WorldPoints = {{-10, 0}, {10, 0}, {100, 0}, {100, 10}, {10, 10}, {-10, 10}, {-10, 20}};
  Gra.DrawWorldPolyline(Canvas);
  const auto runs = CallsOf(TCallKind::Polyline);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].Points(), (std::vector<TPoint>{{400, 500}, {600, 500}, {1000, 500}}));
  EXPECT_EQ(runs[1].Points(), (std::vector<TPoint>{{1000, 400}, {600, 400}}));  // re-entry
  EXPECT_EQ(runs[2].Points(), (std::vector<TPoint>{{600, 400}, {400, 400}, {400, 300}}));
  EXPECT_TRUE(Gra.ScreenPoints.empty());
}

TEST_F(GraTest, PolylineFromOutsideTheLeftEdgeToTheCentre) {
  Gra.WorldPoints = {{-80, 0}, {0, 0}};
  Gra.DrawWorldPolyline(Canvas);
  const auto runs = CallsOf(TCallKind::Polyline);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Points(), (std::vector<TPoint>{{0, 500}, {500, 500}}));
}

TEST_F(GraTest, QuickRejectionAndTooFewPoints) {
  Gra.WorldPoints = {{60, 0}, {70, 10}, {80, -10}};  // all right of the window
  Gra.DrawWorldPolyline(Canvas);
  Gra.DrawWorldPolygon(Canvas);
  Gra.WorldPoints = {{0, 0}, {1, 1}};
  Gra.DrawWorldPolygon(Canvas);
  Gra.WorldPoints = {{0, 0}};
  Gra.DrawWorldPolyline(Canvas);
  EXPECT_TRUE(Canvas.Calls.empty());
}

TEST_F(GraTest, PolygonMapsEveryPointWithoutClipping) {
  Gra.WorldPoints = {{0, 0}, {100, 0}, {0, 10}};
  Gra.DrawWorldPolygon(Canvas);
  const auto polygons = CallsOf(TCallKind::Polygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].Points(), (std::vector<TPoint>{{500, 500}, {1500, 500}, {500, 400}}));
}

TEST_F(GraTest, PolygonWhoseFirstEdgeExceeds10000PixelsIsAnOutline) {
  Gra.WorldPoints = {{0, 0}, {1000.1, 0}, {0, 10}};  // 10001 pixels
  Gra.DrawWorldPolygon(Canvas);
  EXPECT_EQ(Canvas.Count(TCallKind::Polygon), 0u);
  EXPECT_EQ(Gra.WorldPoints.size(), 4u);  // closed with a copy of the first point
  const auto runs = CallsOf(TCallKind::Polyline);
  ASSERT_EQ(runs.size(), 3u);  // out through the right edge, back in, then home inside
  EXPECT_EQ(runs[0].Points(), (std::vector<TPoint>{{500, 500}, {1000, 500}}));
  EXPECT_EQ(runs.back().Points().back(), (TPoint{500, 500}));
  Gra.WorldPoints = {{0, 0}, {1000, 0}, {0, 10}};  // exactly 10000: still filled
  Gra.DrawWorldPolygon(Canvas);
  EXPECT_EQ(Canvas.Count(TCallKind::Polygon), 1u);
}

TEST_F(GraTest, WorldRectInsideCrossingAndOutside) {
  Gra.DrawWorldRect(Canvas, 0, 0, 10, 10);
  ASSERT_EQ(Canvas.Calls.size(), 1u);
  EXPECT_EQ(Canvas.Calls[0].Args, (Args{500, 500, 600, 400}));
  Canvas.Calls.clear();
  Gra.DrawWorldRect(Canvas, 40, 40, 60, 60);
  EXPECT_EQ(CallsOf(TCallKind::Polygon).at(0).Points().size(), 4u);
  EXPECT_TRUE(Gra.WorldPoints.empty());
  Canvas.Calls.clear();
  Gra.DrawWorldRect(Canvas, 60, 0, 70, 10);
  EXPECT_TRUE(Canvas.Calls.empty());
}

// The chord end points of a 72-chord figure: the LineTo targets.
std::vector<TPoint> ChordEnds(const std::vector<TCanvasCall>& calls) {
  std::vector<TPoint> ends;
  for (const TCanvasCall& c : calls)
    if (c.Kind == TCallKind::LineTo) ends.push_back({c.Args[0], c.Args[1]});
  return ends;
}

TEST_F(GraTest, EllipseHas72ChordsFromAndBackToTheFirstPoint) {
  Gra.DrawWorldEllipse(Canvas, 0, 0, 20, 0.5, std::numbers::pi / 2);
  const auto ends = ChordEnds(Canvas.Calls);
  ASSERT_EQ(ends.size(), 72u);
  EXPECT_EQ(Canvas.Calls[0].Args, (Args{500, 300}));  // t = 0 turned by 90 degrees: (0, 20)
  EXPECT_EQ(ends[17], (TPoint{400, 500}));            // t = 90: (-10, 0)
  EXPECT_EQ(ends.back(), (TPoint{500, 300}));
}

TEST_F(GraTest, ArcDividesItsSweepIn72) {
  Gra.DrawWorldArc(Canvas, 0, 0, 20, 1, 0, std::numbers::pi / 2, std::numbers::pi / 2);
  const auto ends = ChordEnds(Canvas.Calls);
  ASSERT_EQ(ends.size(), 72u);
  EXPECT_EQ(Canvas.Calls[0].Args, (Args{500, 300}));
  EXPECT_EQ(ends.back(), (TPoint{300, 500}));
}

// The chords of an ellipse or arc, each as the definition makes it: the point turned about the
// centre, the parameter angle accumulated by addition, and the chord clipped and mapped.
std::vector<TCanvasCall> ChordsByDefinition(const TGra& gra, double cx, double cy, double r,
                                            double flatness, double tilt, double start,
                                            double step) {
  TRecordingCanvas canvas;
  auto at = [&](double t) {
    const double u = r * std::cos(t), v = r * flatness * std::sin(t);
    return TWorldPoint{cx + RotateX(u, v, 0, 0, tilt), cy + RotateY(u, v, 0, 0, tilt)};
  };
  double t = start;
  TWorldPoint previous = at(t);
  for (int k = 1; k <= 72; ++k) {
    t += step;
    const TWorldPoint next = at(t);
    gra.DrawWorldLine(canvas, previous.X, previous.Y, next.X, next.Y);
    previous = next;
  }
  return canvas.Calls;
}

std::vector<std::vector<int32_t>> KindsAndArgs(const std::vector<TCanvasCall>& calls) {
  std::vector<std::vector<int32_t>> shapes;
  for (const TCanvasCall& c : calls) {
    shapes.push_back(c.Args);
    shapes.back().push_back(static_cast<int32_t>(c.Kind));
  }
  return shapes;
}

// Whatever shortcut the drawer takes for chords in the view, each pixel is the one of the
// definition: views from far out to close in and far from the origin, arcs of any start and
// sweep, flattened and tilted, wholly inside or crossing the edge; and arcs whose points fall
// on pixel edges (centres on half pixels, right-angle starts), where the last bit decides.
TEST_F(GraTest, ChordsArePixelForPixelThoseOfTheDefinition) {
  const double pi = std::numbers::pi;
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0, 1);
  int compared = 0;
  for (const double scale : {0.013, 0.57, 10.0, 3300.0}) {
    for (const double origin : {0.0, -2.5e6, 7.25e7}) {
      View.ViewScale = scale;
      View.CentreAt(origin, -origin / 3);
      const double half = 500 / scale, pixel = 1 / scale;
      for (int i = 0; i < 150; ++i) {
        const bool onEdges = i % 3 == 0;
        const double cx = onEdges ? origin + (std::round(unit(random) * 600) - 300.5) * pixel
                                  : origin + (unit(random) * 2.4 - 1.2) * half;
        const double cy = onEdges ? -origin / 3 + (std::round(unit(random) * 600) - 299.5) * pixel
                                  : -origin / 3 + (unit(random) * 2.4 - 1.2) * half;
        const double r = onEdges ? std::round(unit(random) * 40 + 1) * pixel
                                 : std::pow(10.0, unit(random) * 5 - 3) * half;
        const double flatness = std::array{1.0, 0.3, 2.5, -1.0}[i % 4];
        const double tilt = onEdges ? 0 : unit(random) * 2 * pi;
        const double start = onEdges ? pi / 2 * std::round(unit(random) * 8 - 4)
                                     : (unit(random) * 2 - 1) * std::array{7.0, 1e4}[i % 2];
        const double sweep =
            onEdges ? pi / 2 * std::round(unit(random) * 3 + 1) : (unit(random) * 4 - 2) * pi;
        Canvas.Calls.clear();
        Gra.DrawWorldArc(Canvas, cx, cy, r, flatness, tilt, start, sweep);
        ASSERT_EQ(
            KindsAndArgs(Canvas.Calls),
            KindsAndArgs(ChordsByDefinition(Gra, cx, cy, r, flatness, tilt, start, sweep / 72)))
            << "scale " << scale << " arc " << i;
        Canvas.Calls.clear();
        Gra.DrawWorldEllipse(Canvas, cx, cy, r, flatness, tilt);
        ASSERT_EQ(KindsAndArgs(Canvas.Calls),
                  KindsAndArgs(ChordsByDefinition(Gra, cx, cy, r, flatness, tilt, 0, pi / 36)))
            << "scale " << scale << " ellipse " << i;
        compared += !Canvas.Calls.empty();
      }
    }
  }
  EXPECT_GT(compared, 1000);  // most of them are seen
}

TEST_F(GraTest, SolidArcShapes) {
  constexpr double pi = std::numbers::pi;
  auto pointsOf = [&](int32_t code, double p, double start = 0,
                      double sweep = std::numbers::pi / 2) {
    Canvas.Calls.clear();
    Gra.DrawSolidArcShape(Canvas, code, 0, 0, 20, 1, 0, start, sweep, p);
    EXPECT_TRUE(Gra.WorldPoints.empty());
    if (!Canvas.Calls.empty() && Canvas.Calls.back().Kind == TCallKind::Polygon)
      return Canvas.Calls.back().Points();
    std::vector<TPoint> all;  // a polyline may come in runs
    for (const auto& c : CallsOf(TCallKind::Polyline))
      for (const TPoint& p2 : c.Points()) all.push_back(p2);
    return all;
  };
  // Whole ellipse: start and sweep ignored.
  auto whole = pointsOf(kShapeFilledArc, 100, 1.0, 0.1);
  EXPECT_EQ(whole.size(), 72u);
  EXPECT_EQ(whole[0], (TPoint{700, 500}));
  auto sector = pointsOf(kShapeFilledArc, 0);
  ASSERT_EQ(sector.size(), 74u);
  EXPECT_EQ(sector.back(), (TPoint{500, 500}));
  EXPECT_EQ(pointsOf(kShapeFilledArc, 5).size(), 73u);
  // Tangents of a quarter from 0 to 90 degrees meet at (20, 20).
  auto closed = pointsOf(kShapeFilledArc, 7);
  ASSERT_EQ(closed.size(), 74u);
  EXPECT_EQ(closed.back(), (TPoint{700, 300}));
  // A half circle has parallel end tangents: closed at the centre.
  auto half = pointsOf(kShapeFilledArc, 7, 0, pi);
  ASSERT_EQ(half.size(), 74u);
  EXPECT_EQ(half.back(), (TPoint{500, 500}));
  EXPECT_EQ(pointsOf(kShapeArcOutline, 100).size(), 73u);
  EXPECT_EQ(pointsOf(kShapeArcOutline, 3).size(), 73u);
  auto ring = pointsOf(kShapeRingSector, 10);
  ASSERT_EQ(ring.size(), 146u);
  EXPECT_EQ(ring[73], (TPoint{500, 400}));  // the inner arc starts at the end angle
  EXPECT_EQ(ring[145], (TPoint{600, 500}));
  EXPECT_TRUE(pointsOf(999, 10).empty());
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

using test::GraTest;

// Every pixel handed to the canvas, whatever the call.
std::vector<TPoint> PixelsOf(const std::vector<TCanvasCall>& calls) {
  std::vector<TPoint> pixels;
  for (const TCanvasCall& c : calls) {
    if (c.Kind == TCallKind::CopyToBitmap) continue;
    const size_t coordinates = c.Kind == TCallKind::SetPixel ? 2 : c.Args.size();
    for (size_t i = 0; i + 1 < coordinates; i += 2) pixels.push_back({c.Args[i], c.Args[i + 1]});
  }
  return pixels;
}

void ExpectWithinGuard(const std::vector<TCanvasCall>& calls) {
  for (const TPoint p : PixelsOf(calls)) {
    EXPECT_LE(std::abs(int64_t{p.X}), int64_t{1 << 25}) << p.X;
    EXPECT_LE(std::abs(int64_t{p.Y}), int64_t{1 << 25}) << p.Y;
  }
}

// Before, a vertex far below the view saturated RoundHalfAway, the subtraction from
// ViewHeight overflowed, and the vertex was drawn far above the view: the triangle's fill
// left the view's lower part empty. Now it is cut to the guard and keeps its side.
TEST_F(GraTest, PolygonWithAVertexFarBelowTheViewKeepsItsShape) {
  Gra.WorldPoints = {{-10, 10}, {10, 10}, {0, -1e15}};
  Gra.DrawWorldPolygon(Canvas);
  ASSERT_EQ(Canvas.Calls.size(), 1u);
  ExpectWithinGuard(Canvas.Calls);
  // The two long edges still run down from (-10, 10) and (10, 10) almost straight: at the
  // bottom edge of the view (y = -50, pixel 1000) they lie within a pixel of x = -10 and 10.
  const std::vector<TPoint> points = Canvas.Calls[0].Points();
  int32_t belowView = 0;
  for (const TPoint p : points) belowView += p.Y > 1000;
  EXPECT_GE(belowView, 1);
  for (const TPoint p : points) EXPECT_GE(p.Y, 0) << "no vertex above the view";
}

// The guard itself: a polygon that fits is mapped untouched; one that does not is cut, and
// whatever is drawn lies within the guard.
TEST_F(GraTest, PixelsStayWithinTheGuard) {
  const struct {
    std::vector<TWorldPoint> polygon;
  } cases[] = {
      {{{0, 0}, {1, 0}, {0, 1e300}}},
      {{{0, 0}, {1, 0}, {-1e300, -1e300}}},
      {{{0, 0}, {1, 1}, {1e12, 0}, {0, -1e12}}},
  };
  for (const auto& c : cases) {
    Canvas.Calls.clear();
    Gra.WorldPoints = c.polygon;
    Gra.DrawWorldPolygon(Canvas);
    ExpectWithinGuard(Canvas.Calls);
    EXPECT_EQ(Canvas.Count(TCallKind::Polygon), 1u);
  }
  // Segments that pass outside a corner are left on the edge lines; far off, they are cut.
  Canvas.Calls.clear();
  Gra.DrawWorldLine(Canvas, -60, -1e14, 1e14, 60);
  Gra.WorldPoints = {{-60, -1e14}, {1e14, 60}};
  Gra.DrawWorldPolyline(Canvas);
  ExpectWithinGuard(Canvas.Calls);
}

// Coordinates divided by a zero group scale are infinite or not a number; nothing of them
// is drawn, and nothing else suffers.
TEST_F(GraTest, PointsThatAreNotFiniteAreNotDrawn) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  Gra.DrawWorldLine(Canvas, nan, 0, 10, 10);
  Gra.DrawWorldLine(Canvas, inf, 0, 10, 10);
  Gra.DrawWorldLine(Canvas, 0, 0, 10, -inf);
  Gra.WorldPoints = {{0, 0}, {10, 0}, {nan, nan}};
  Gra.DrawWorldPolygon(Canvas);
  Gra.WorldPoints = {{0, 0}, {10, 0}, {inf, 5}};
  Gra.DrawWorldPolygon(Canvas);
  EXPECT_TRUE(Canvas.Calls.empty());
  Gra.DrawWorldLine(Canvas, 0, 0, 10, 10);
  EXPECT_EQ(Canvas.Count(TCallKind::LineTo), 1u);
}

}  // namespace
}  // namespace pikrotta
