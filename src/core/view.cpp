#include "view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "image_ref.h"
#include "my_func.h"

namespace pikrotta {

void TView::SavePrevView() {
  PrevViewScale = ViewScale;
  PrevViewLeft = ViewLeft;
  PrevViewBottom = ViewBottom;
  PrevViewRight = ViewRight;
  PrevViewTop = ViewTop;
}

void TView::CentreAt(double cx, double cy) {
  ViewLeft = cx - ViewWidth / 2.0 / ViewScale;
  ViewBottom = cy - ViewHeight / 2.0 / ViewScale;
  ViewRight = cx + ViewWidth / 2.0 / ViewScale;
  ViewTop = cy + ViewHeight / 2.0 / ViewScale;
}

double CoordDivisor(const TJwwGaibu& model, const TJwwEntHead& head) {
  if (model.NoScale) return 1.0;
  // A group number outside 0..15 cannot come from the reader; keep such a record unscaled.
  if (head.LayerGroup < 0 || head.LayerGroup > 15) return 1.0;
  return model.LayerGroupScale[static_cast<size_t>(head.LayerGroup)];
}

double NormalizeDegrees(double degrees) {
  // fmod instead of repeated adding of 360, which never ends for huge angles.
  if (!std::isfinite(degrees)) return 0.0;
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  return a >= 360.0 ? 0.0 : a;
}

namespace {

// Every edge within ±1e8 at both ends: a drawing wholly beyond the bound on one side would
// otherwise keep an edge out there and the other at the bound, and fit as one pixel.
void ClampExtents(TView& v) {
  constexpr double kFar = 1e8;
  for (double* edge : {&v.ExtentLeft, &v.ExtentBottom, &v.ExtentRight, &v.ExtentTop})
    *edge = std::isnan(*edge) ? -kFar : std::clamp(*edge, -kFar, kFar);
}

constexpr double kDegree = std::numbers::pi / 180.0;

}  // namespace

// A point with a coordinate that is not a finite number (one divided by a zero group scale)
// takes no part in the extents: as a seed it would make the whole view not a number, hiding
// every other entity. The seed then comes from the first finite point.
void TView::SeedExtents(double x, double y, double divisor) {
  const double px = x / divisor, py = y / divisor;
  SeedPending = !std::isfinite(px) || !std::isfinite(py);
  if (SeedPending) return;
  ExtentLeft = ExtentRight = px;
  ExtentBottom = ExtentTop = py;
  ClampExtents(*this);
}

void TView::ExtendExtents(double x, double y, double divisor) {
  const double px = x / divisor, py = y / divisor;
  if (!std::isfinite(px) || !std::isfinite(py)) return;
  if (SeedPending) return SeedExtents(x, y, divisor);
  ExtentLeft = std::min(ExtentLeft, px);
  ExtentBottom = std::min(ExtentBottom, py);
  ExtentRight = std::max(ExtentRight, px);
  ExtentTop = std::max(ExtentTop, py);
  ClampExtents(*this);
}

namespace {

// The cosines and sines of 0, 90, 180 and 270 degrees, computed once just as each curve
// computed them before: a drawing of circles spent most of its fit in them.
struct TQuadrants {
  std::array<double, 4> Cos, Sin;
};

const TQuadrants& Quadrants() {
  static const TQuadrants quadrants = [] {
    TQuadrants q{};
    for (size_t i = 0; i < 4; ++i) {
      const double theta = 90.0 * static_cast<double>(i) * kDegree;
      q.Cos[i] = std::cos(theta);
      q.Sin[i] = std::sin(theta);
    }
    return q;
  }();
  return quadrants;
}

}  // namespace

void TView::ExtendByArc(double cx, double cy, double r, double flatness, double tilt, double start,
                        double end, double divisor) {
  const double tau = tilt * kDegree;
  // The tilt's sine and cosine once per curve.
  const double cosTau = std::cos(tau), sinTau = std::sin(tau);
  auto extendWith = [&](double c, double s) {
    ExtendExtents(cx + r * c * cosTau - r * flatness * s * sinTau,
                  cy + r * c * sinTau + r * flatness * s * cosTau, divisor);
  };
  auto extendAt = [&](double thetaDegrees) {
    const double theta = thetaDegrees * kDegree;
    extendWith(std::cos(theta), std::sin(theta));
  };
  const TQuadrants& q = Quadrants();
  const double difference = end - start;  // a whole circle's is 0: no remainder to take
  const double sweep = difference == 0 ? 0.0 : NormalizeDegrees(difference);
  if (std::fabs(sweep) <= 1e-8) {
    for (size_t i = 0; i < 4; ++i) extendWith(q.Cos[i], q.Sin[i]);
    return;
  }
  extendAt(start);
  extendAt(end);
  const double a = NormalizeDegrees(start);
  for (size_t i = 0; i < 4; ++i) {
    const double quadrant = 90.0 * static_cast<double>(i);
    const double toQuadrant =
        i == 0 ? 360.0 - a : (quadrant - a < 0 ? quadrant - a + 360.0 : quadrant - a);
    if (sweep >= toQuadrant) extendWith(q.Cos[i], q.Sin[i]);
  }
}

namespace {

constexpr double kToDegrees = 180.0 / std::numbers::pi;

// The first point of a record: where the extents are seeded. Records begin with two points,
// a centre, or a base point; a framed text with its frame line.
template <class TRecord>
TWorldPoint FirstPoint(const TRecord& r) {
  if constexpr (requires { r.X1; })
    return {r.X1, r.Y1};
  else if constexpr (requires { r.Cx; })
    return {r.Cx, r.Cy};
  else
    return {r.X, r.Y};
}
TWorldPoint FirstPoint(const TJwwEntMsgText& r) {
  return {r.Frame.X1, r.Frame.Y1};
}

// Seeds from the first record of the first non-empty table, tried in the order of Ks.
template <TEntityKind... Ks>
void SeedFromFirstTable(TView& v, const TJwwGaibu& m) {
  auto trySeed = [&](auto kind) {
    const auto [table, count] = m.Table<decltype(kind)::value>();
    if (count == 0) return false;
    const TWorldPoint p = FirstPoint(table[0]);
    v.SeedExtents(p.X, p.Y, CoordDivisor(m, table[0]));
    return true;
  };
  (trySeed(std::integral_constant<TEntityKind, Ks>{}) || ...);
}

// Extends by every point of a record that the drawing shows, with the record's divisor.
class TExtender {
 public:
  TExtender(TView& view, const TJwwGaibu& model) : V(view), M(model) {}

  void operator()(const TJwwEntLine& r) { Points(r, {{r.X1, r.Y1}, {r.X2, r.Y2}}); }
  void operator()(const TJwwEntCircle& r) { V.ExtendByArc(r.Cx, r.Cy, r.Radius, 1, 0, 0, 0, D(r)); }
  void operator()(const TJwwEntArc& r) {
    V.ExtendByArc(r.Cx, r.Cy, r.Radius, r.Flatness, r.Tilt, r.StartAngle, r.EndAngle, D(r));
  }
  void operator()(const TJwwEntPoint& r) { Points(r, {{r.X, r.Y}}); }
  void operator()(const TJwwEntPointEx& r) { Points(r, {{r.X, r.Y}}); }
  void operator()(const TJwwEntText& r) {
    const double divisor = D(r);
    V.ExtendExtents(r.X, r.Y, divisor);
    if (!r.Text.starts_with(kImageRefPrefix)) return;
    const TImageRef ref = ParseImageRef(r.Text);
    // The far corner of the frame as drawn: the base point is scaled, the image size is not.
    if (ref.IsImageRef)
      V.ExtendExtents(r.X / divisor + ref.ImageWidth, r.Y / divisor + ref.ImageHeight, 1.0);
  }
  void operator()(const TJwwEntMsgText& r) {
    Points(r, {{r.Frame.X1, r.Frame.Y1}, {r.Frame.X2, r.Frame.Y2}, {r.Body.X, r.Body.Y}});
  }
  void operator()(const TJwwEntBlk&) {}  // block references take no part
  void operator()(const TJwwEntSolid2& r) { Points(r, {{r.X1, r.Y1}, {r.X2, r.Y2}}); }
  void operator()(const TJwwEntSolid3& r) { Points(r, {{r.X1, r.Y1}, {r.X2, r.Y2}, {r.X3, r.Y3}}); }
  void operator()(const TJwwEntSolid4& r) {
    Points(r, {{r.X1, r.Y1}, {r.X2, r.Y2}, {r.X3, r.Y3}, {r.X4, r.Y4}});
  }
  void operator()(const TJwwEntSolidSc& r) { ArcSolid(r); }
  void operator()(const TJwwEntSolidSo& r) { ArcSolid(r); }

 private:
  double D(const TJwwEntHead& head) const { return CoordDivisor(M, head); }
  void Points(const TJwwEntHead& head, std::initializer_list<TWorldPoint> points) {
    const double divisor = D(head);
    for (const TWorldPoint& p : points) V.ExtendExtents(p.X, p.Y, divisor);
  }
  // Arc solids keep radians and may sweep backwards.
  template <class T>
  void ArcSolid(const T& r) {
    double start = r.Start * kToDegrees;
    double end = (r.Start + r.Sweep) * kToDegrees;
    if (r.Sweep < 0) ExchangeDoubles(start, end);
    V.ExtendByArc(r.Cx, r.Cy, r.Radius, r.Flatness, r.Tilt * kToDegrees, start, end, D(r));
  }

  TView& V;
  const TJwwGaibu& M;
};

}  // namespace

void TView::ComputeExtents(const TJwwGaibu& m) {
  SeedPending = false;
  SeedFromFirstTable<ekLine, ekCircle, ekArc, ekPoint, ekPointEx, ekText, ekMsgText, ekSolid2,
                     ekSolid3, ekSolid4, ekSolidSc, ekSolidSe, ekSolidSo, ekSolidSg>(*this, m);

  // Special counts: JwwOrder also counts block references.
  if (m.JwwOrderCount == 0) {
    ExtentLeft = ExtentBottom = -100;
    ExtentRight = ExtentTop = 100;
  } else if (m.JwwOrderCount == 1) {
    ExtentLeft -= 100;
    ExtentBottom -= 100;
    ExtentRight += 100;
    ExtentTop += 100;
  }

  // Every entity of every drawable table, each with its own divisor.
  TExtender extend(*this, m);
  m.ForEachTable([&](auto, const auto& table, int32_t count) {
    for (int32_t i = 0; i < count; ++i) extend(table[static_cast<size_t>(i)]);
  });
}

void TView::FitToWindow(const TJwwGaibu& model, int32_t width, int32_t height) {
  SavePrevView();
  ViewWidth = width;
  ViewHeight = height;
  ComputeExtents(model);
  double w = std::fabs(ExtentRight - ExtentLeft);
  double h = std::fabs(ExtentTop - ExtentBottom);
  if (w <= 1e-10) w = 1e-10;
  if (h <= 1e-10) h = 1e-10;
  // A paint area of no pixels (a minimised window) would give a zero scale and a view that
  // is not a number; fit it as if it had one pixel.
  const double sx = std::max(ViewWidth, 1) / w * 0.9;
  const double sy = std::max(ViewHeight, 1) / h * 0.9;
  ViewScale = sx >= sy ? sy : sx;
  CentreAt((ExtentRight + ExtentLeft) / 2, (ExtentTop + ExtentBottom) / 2);
}

bool TView::IsFinite() const {
  return std::isfinite(ViewScale) && ViewScale > 0 && std::isfinite(ViewLeft) &&
         std::isfinite(ViewRight) && std::isfinite(ViewBottom) && std::isfinite(ViewTop);
}

void TView::RestorePrevView() {
  ViewScale = PrevViewScale;
  ViewLeft = PrevViewLeft;
  ViewBottom = PrevViewBottom;
  ViewRight = PrevViewRight;
  ViewTop = PrevViewTop;
}

void TView::ResizeView(int32_t width, int32_t height) {
  const double cx = (ViewLeft + ViewRight) / 2, cy = (ViewBottom + ViewTop) / 2;
  ViewWidth = width;
  ViewHeight = height;
  CentreAt(cx, cy);
}

}  // namespace pikrotta
