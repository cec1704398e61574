#include "gra.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "my_func.h"

namespace pikrotta {

// Points of an ellipse turned by tilt about its centre. The tilt's cosine and sine are taken
// once per ellipse; the sums are those of RotateX and RotateY about (0, 0), term for term.
class TEllipse {
 public:
  TEllipse(double cx, double cy, double r, double flatness, double tilt)
      : Cx(cx),
        Cy(cy),
        R(r),
        Flatness(flatness),
        // Most curves are not tilted; the cosine and sine of 0 are exactly 1 and 0.
        CosTilt(tilt == 0 ? 1.0 : std::cos(tilt)),
        SinTilt(tilt == 0 ? 0.0 : std::sin(tilt)) {}
  TWorldPoint At(double t) const { return AtCosSin(std::cos(t), std::sin(t)); }
  TWorldPoint Centre() const { return {Cx, Cy}; }
  TWorldPoint AtCosSin(double cosT, double sinT) const {
    const double u = R * cosT, v = R * Flatness * sinT;
    return {Cx + (0 + CosTilt * u - SinTilt * v), Cy + (0 + SinTilt * u + CosTilt * v)};
  }

 private:
  double Cx, Cy, R, Flatness, CosTilt, SinTilt;
};

namespace {

// Five degrees: the step of every ellipse, accumulated by addition.
constexpr double kEllipseStep = std::numbers::pi / 36;
constexpr int32_t kChords = 72;

// Cosine and sine of the parameter angles of a whole ellipse, 0, 5, 10, ... degrees, taken
// once from the sums of the accumulated step: the very values a chord-by-chord computation
// gives, without its cost for every circle.
struct TEllipseAngles {
  std::array<double, kChords + 1> Cos, Sin;
  TEllipseAngles() {
    double t = 0;
    for (int32_t k = 0; k <= kChords; ++k, t += kEllipseStep) {
      Cos[k] = std::cos(t);
      Sin[k] = std::sin(t);
    }
  }
};
const TEllipseAngles kEllipseAngles;

TPenStyle PenStyleOf(int32_t code) {
  switch (code) {
    case 1:
      return psDash;
    case 2:
      return psDot;
    case 3:
      return psDashDot;
    case 4:
      return psDashDotDot;
    case 5:
      return psClear;
    default:
      return psSolid;
  }
}

TBrushStyle BrushStyleOf(int32_t code) {
  switch (code) {
    case 1:
      return bsSolid;
    case 2:
      return bsHorizontal;
    case 3:
      return bsVertical;
    case 4:
      return bsFDiagonal;
    case 5:
      return bsBDiagonal;
    case 6:
      return bsCross;
    case 7:
      return bsDiagCross;
    default:
      return bsClear;
  }
}

}  // namespace

double EntityWidth(const TgraAttribute& attributes, int32_t color, int32_t lineWidth) {
  return lineWidth != 0 ? lineWidth * 0.01 : attributes.PenWidth(color);
}

void TGra::ClearPaintArea(TCanvas& canvas, int32_t width, int32_t height) const {
  canvas.Pen.Mode = pmCopy;
  canvas.Pen.Width = 1;
  canvas.Pen.Color = GraAttribute.BackgroundColor();
  canvas.Brush.Color = GraAttribute.BackgroundColor();
  canvas.Brush.Style = bsSolid;
  canvas.Rectangle(0, 0, width, height);
  canvas.Brush.Style = bsClear;
}

void TGra::SetScreenPen(TCanvas& canvas, TColor color, int32_t style, int32_t width) {
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = color;
  canvas.Pen.Width = width;
  canvas.Pen.Style = PenStyleOf(style);
}

void TGra::SetScreenBrush(TCanvas& canvas, TColor color, int32_t brushCode) {
  canvas.Brush.Color = color;
  canvas.Brush.Style = BrushStyleOf(brushCode);
}

void TGra::SetXorPen(TCanvas& canvas) {
  canvas.Pen.Mode = pmXor;
}

void TGra::DrawPixelLine(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
  // LineTo leaves out the end pixel; set it so that lines meet and a point shows.
  canvas.SetPixel(x2, y2, canvas.Pen.Color);
}

void TGra::DrawPixelRect(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const bool wide = std::abs(int64_t{x1} - x2) > 2;
  const bool tall = std::abs(int64_t{y1} - y2) > 2;
  if (wide && tall)
    canvas.Rectangle(x1, y1, x2, y2);
  else if (wide)
    DrawPixelLine(canvas, x1, y1, x2, y1);
  else if (tall)
    DrawPixelLine(canvas, x1, y1, x1, y2);
}

void TGra::SetEntityPen(TCanvas& canvas, int32_t color, int32_t lineType) const {
  // Every line is one pixel wide; every line type but the solid ones shows dotted.
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = GraAttribute.PenColor(color);
  canvas.Pen.Width = 0;
  canvas.Pen.Style = (lineType == 1 || lineType == 31) ? psSolid : psDot;
}

void TGra::SetEntityBrush(TCanvas& canvas, int32_t color, int32_t brushCode) const {
  canvas.Brush.Color = GraAttribute.PenColor(color);
  canvas.Brush.Style = BrushStyleOf(brushCode);
}

TClipRect TGra::GuardRect() const {
  const double margin = kPixelGuard / View.ViewScale;
  return {View.ViewLeft - margin, View.ViewBottom - margin, View.ViewRight + margin,
          View.ViewTop + margin};
}

int32_t TGra::ClipForDrawing(double& x1, double& y1, double& x2, double& y2) const {
  const int32_t result = ClipSegment(x1, y1, x2, y2, ViewRect());
  // The clipper leaves a segment that passes outside a corner on the edge lines, which may lie
  // far off; it is invisible, and what lies beyond the guard need not be mapped.
  if (result != 1) return result;
  const TClipRect guard = GuardRect();
  if (InsideRect(x1, y1, guard) && InsideRect(x2, y2, guard)) return result;
  return CutSegmentToRect(x1, y1, x2, y2, guard) ? result : 2;
}

void TGra::DrawWorldLine(TCanvas& canvas, double x1, double y1, double x2, double y2) const {
  if (ClipForDrawing(x1, y1, x2, y2) == 2) return;
  DrawPixelLine(canvas, View.WorldToScreenX(x1), View.WorldToScreenY(y1), View.WorldToScreenX(x2),
                View.WorldToScreenY(y2));
}

void TGra::DrawWorldRect(TCanvas& canvas, double x1, double y1, double x2, double y2) {
  switch (SegmentVisibility(x1, y1, x2, y2, ViewRect())) {
    case 0:
      DrawPixelRect(canvas, View.WorldToScreenX(x1), View.WorldToScreenY(y1),
                    View.WorldToScreenX(x2), View.WorldToScreenY(y2));
      break;
    case 1:
      WorldPoints.assign({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
      DrawWorldPolygon(canvas);
      WorldPoints.clear();
      break;
    default:
      break;
  }
}

void TGra::DrawScreenPoints(TCanvas& canvas) {
  if (ScreenPoints.size() > 1) canvas.Polyline(ScreenPoints);
  ScreenPoints.clear();
}

void TGra::DrawWorldPolyline(TCanvas& canvas) {
  if (WorldPoints.size() < 2) return;
  const TClipRect rect = ViewRect();
  int32_t common = 15;
  for (const TWorldPoint& p : WorldPoints) common &= ClipOutcode(p.X, p.Y, rect);
  if (common != 0) return;

  ScreenPoints.clear();
  auto map = [&](double x, double y) {
    ScreenPoints.push_back({View.WorldToScreenX(x), View.WorldToScreenY(y)});
  };
  for (size_t k = 1; k < WorldPoints.size(); ++k) {
    double x1 = WorldPoints[k - 1].X, y1 = WorldPoints[k - 1].Y;
    double x2 = WorldPoints[k].X, y2 = WorldPoints[k].Y;
    const int32_t result = ClipForDrawing(x1, y1, x2, y2);
    if (result == 2) {
      DrawScreenPoints(canvas);
      continue;
    }
    if (ScreenPoints.empty()) map(x1, y1);
    map(x2, y2);
    // A clipped segment always ends its run.
    if (result == 1) DrawScreenPoints(canvas);
  }
  DrawScreenPoints(canvas);
}

void TGra::DrawWorldPolygon(TCanvas& canvas) {
  if (WorldPoints.size() < 3) return;
  const TClipRect rect = ViewRect();
  int32_t common = 15;
  for (const TWorldPoint& p : WorldPoints) common &= ClipOutcode(p.X, p.Y, rect);
  if (common != 0) return;

  // The platform cannot fill huge polygons reliably; one whose first edge spans more than
  // 10000 pixels is shown as its clipped, closed outline instead.
  const TWorldPoint p0 = WorldPoints[0], p1 = WorldPoints[1];
  if (PointDistance(p0.X, p0.Y, p1.X, p1.Y) * View.ViewScale > 10000) {
    WorldPoints.push_back(p0);
    DrawWorldPolyline(canvas);
    return;
  }
  // Vertices are not clipped, but one beyond the guard would not map exactly: then the
  // polygon is cut to the guard, which leaves what is visible as it was. One with a vertex
  // that is not a finite number is not drawn.
  const TClipRect guard = GuardRect();
  const std::vector<TWorldPoint>* points = &WorldPoints;
  if (!std::all_of(WorldPoints.begin(), WorldPoints.end(),
                   [&](const TWorldPoint& p) { return InsideRect(p.X, p.Y, guard); })) {
    for (const TWorldPoint& p : WorldPoints)
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
    CutPolygonToRect(WorldPoints, guard, GuardPoints);
    if (GuardPoints.size() < 3) return;
    points = &GuardPoints;
  }
  ScreenPoints.clear();
  for (const TWorldPoint& p : *points)
    ScreenPoints.push_back({View.WorldToScreenX(p.X), View.WorldToScreenY(p.Y)});
  canvas.Polygon(ScreenPoints);
  ScreenPoints.clear();
}

void TGra::DrawChords(TCanvas& canvas, double cx, double cy, double r, double flatness, double tilt,
                      double start, double step) const {
  // Every chord point lies within R of the centre. When that disc lies wholly beyond one edge,
  // every chord would be rejected by the clipper anyway: skip computing them. The margin
  // only makes this rarer, so what is drawn never changes.
  const double reach = std::fabs(r) * std::max(1.0, std::fabs(flatness));
  const double margin = 1e-9 * (reach + std::fabs(cx) + std::fabs(cy)) + 1e-9;
  const TClipRect rect = ViewRect();
  if (cx + reach + margin < rect.XMin || cx - reach - margin > rect.XMax ||
      cy + reach + margin < rect.YMin || cy - reach - margin > rect.YMax)
    return;
  const TEllipse ellipse(cx, cy, r, flatness, tilt);
  const bool whole = start == 0 && step == kEllipseStep;
  // A disc wholly inside the view, by the same margin: the clipper would leave every chord
  // as it is.
  if (cx - reach - margin > rect.XMin && cx + reach + margin < rect.XMax &&
      cy - reach - margin > rect.YMin && cy + reach + margin < rect.YMax)
    return DrawChordsInView(canvas, ellipse, reach, whole, start, step);
  double t = start;
  TWorldPoint previous = ellipse.At(t);
  for (int32_t k = 1; k <= kChords; ++k) {
    t += step;
    const TWorldPoint next =
        whole ? ellipse.AtCosSin(kEllipseAngles.Cos[k], kEllipseAngles.Sin[k]) : ellipse.At(t);
    DrawWorldLine(canvas, previous.X, previous.Y, next.X, next.Y);
    previous = next;
  }
}

// The chords of an ellipse that needs no clipping, with the very pixels of clipping and
// mapping each chord: each point is mapped once. An arc's points come from turning the
// previous one by the step, not from a sine and a cosine each; the turn differs from those in
// the last bits only, so a point whose pixel those bits could change is taken exactly.
void TGra::DrawChordsInView(TCanvas& canvas, const TEllipse& ellipse, double reach, bool whole,
                            double start, double step) const {
  const double scale = View.ViewScale;
  auto exact = [&](TWorldPoint p) {
    return TPoint{View.WorldToScreenX(p.X), View.WorldToScreenY(p.Y)};
  };
  // How far a turned point may lie from the exact one, in pixels: the turns' rounding and the
  // accumulated angle's grow by an epsilon per chord, times the angle's size; each sum and
  // product of the mapping rounds once more. Doubled, so the bound is never tight.
  constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
  const double angle = std::max(std::fabs(start), std::fabs(start + kChords * step)) + 8;
  const double magnitude = std::fabs(View.ViewLeft) + std::fabs(View.ViewBottom) +
                           std::fabs(ellipse.Centre().X) + std::fabs(ellipse.Centre().Y) + reach;
  const double slack =
      2 * (scale * (2 * reach * kChords * kEpsilon * angle + 8 * kEpsilon * magnitude) +
           8 * kEpsilon * scale * magnitude);
  // True when the point maps to the same pixel wherever within slack it lies.
  auto clear = [&](double v) {
    const double a = std::fabs(v) + 0.5, f = a - std::floor(a);
    return f > slack && f < 1 - slack;
  };
  const bool turn = !whole && slack < 1e-3;
  double cosStep = 1, sinStep = 0, c = 1, s = 0;
  if (turn)
    cosStep = std::cos(step), sinStep = std::sin(step), c = std::cos(start), s = std::sin(start);
  double t = start;
  TPoint previous = exact(ellipse.At(t));
  for (int32_t k = 1; k <= kChords; ++k) {
    t += step;
    TPoint next;
    if (whole) {
      next = exact(ellipse.AtCosSin(kEllipseAngles.Cos[k], kEllipseAngles.Sin[k]));
    } else if (turn) {
      const double c1 = c * cosStep - s * sinStep;
      s = s * cosStep + c * sinStep;
      c = c1;
      const TWorldPoint p = ellipse.AtCosSin(c, s);
      const double vx = (p.X - View.ViewLeft) * scale, vy = (p.Y - View.ViewBottom) * scale;
      next = clear(vx) && clear(vy)
                 ? TPoint{RoundHalfAway(vx), PixelFromBottom(View.ViewHeight, RoundHalfAway(vy))}
                 : exact(ellipse.At(t));
    } else {
      next = exact(ellipse.At(t));
    }
    DrawPixelLine(canvas, previous.X, previous.Y, next.X, next.Y);
    previous = next;
  }
}

void TGra::DrawWorldEllipse(TCanvas& canvas, double cx, double cy, double r, double flatness,
                            double tilt) const {
  DrawChords(canvas, cx, cy, r, flatness, tilt, 0.0, kEllipseStep);
}

void TGra::DrawWorldArc(TCanvas& canvas, double cx, double cy, double r, double flatness,
                        double tilt, double start, double sweep) const {
  DrawChords(canvas, cx, cy, r, flatness, tilt, start, sweep / kChords);
}

void TGra::AppendArcPoints(double cx, double cy, double r, double flatness, double tilt,
                           double start, double sweep) {
  const TEllipse ellipse(cx, cy, r, flatness, tilt);
  const double step = sweep / kChords;
  double t = start;
  for (int32_t k = 0; k <= kChords; ++k, t += step) WorldPoints.push_back(ellipse.At(t));
}

void TGra::DrawSolidArcShape(TCanvas& canvas, int32_t shapeCode, double cx, double cy, double r,
                             double flatness, double tilt, double start, double sweep, double p) {
  auto is = [p](double value) { return std::fabs(p - value) <= 1e-10; };
  const TEllipse outer(cx, cy, r, flatness, tilt);
  WorldPoints.clear();
  if (shapeCode == kShapeFilledArc) {
    if (is(100)) {
      for (int32_t k = 0; k < kChords; ++k)
        WorldPoints.push_back(outer.AtCosSin(kEllipseAngles.Cos[k], kEllipseAngles.Sin[k]));
    } else {
      AppendArcPoints(cx, cy, r, flatness, tilt, start, sweep);
      if (is(0)) {
        WorldPoints.push_back({cx, cy});
      } else if (!is(5)) {
        // Close the arc at the meeting point of its end tangents (those of the circle).
        const TWorldPoint a0 = WorldPoints.front(), a72 = WorldPoints.back();
        const double d0 = start + tilt + std::numbers::pi / 2;
        const double d1 = start + sweep + tilt - std::numbers::pi / 2;
        double px = 0, py = 0;
        if (LineIntersection(a0.X, a0.Y, a0.X + 10 * std::cos(d0), a0.Y + 10 * std::sin(d0), a72.X,
                             a72.Y, a72.X + 10 * std::cos(d1), a72.Y + 10 * std::sin(d1), px,
                             py) == 0) {
          px = cx;  // parallel tangents
          py = cy;
        }
        WorldPoints.push_back({px, py});
      }
    }
    DrawWorldPolygon(canvas);
  } else if (shapeCode == kShapeArcOutline) {
    if (is(100)) {
      for (int32_t k = 0; k <= kChords; ++k)
        WorldPoints.push_back(outer.AtCosSin(kEllipseAngles.Cos[k], kEllipseAngles.Sin[k]));
    } else {
      AppendArcPoints(cx, cy, r, flatness, tilt, start, sweep);
    }
    DrawWorldPolyline(canvas);
  } else if (shapeCode == kShapeRingSector) {
    AppendArcPoints(cx, cy, r, flatness, tilt, start, sweep);
    // The inner arc runs back from the end angle to the start.
    const TEllipse inner(cx, cy, p, flatness, tilt);
    const double step = sweep / kChords;
    double t = start + sweep;
    for (int32_t k = 0; k <= kChords; ++k, t -= step) WorldPoints.push_back(inner.At(t));
    DrawWorldPolygon(canvas);
  }
  WorldPoints.clear();
}

}  // namespace pikrotta
