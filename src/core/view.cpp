#include "view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "image_ref.h"
#include "my_func.h"

namespace pikrotta {

int32_t TView::WorldToScreenX(double x) const {
  return RoundHalfAway((x - ViewLeft) * ViewScale);
}

int32_t TView::WorldToScreenY(double y) const {
  return PixelFromBottom(ViewHeight, RoundHalfAway((y - ViewBottom) * ViewScale));
}

int32_t PixelFromBottom(int32_t height, int32_t up) {
  // In 64 bits: a point far below the view must stay far below, not wrap round to above it.
  const int64_t y = int64_t{height} - up;
  return static_cast<int32_t>(std::clamp<int64_t>(y, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

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

void ClampExtents(TView& v) {
  if (!(v.ExtentLeft >= -1e8)) v.ExtentLeft = -1e8;
  if (!(v.ExtentBottom >= -1e8)) v.ExtentBottom = -1e8;
  if (v.ExtentRight > 1e8) v.ExtentRight = 1e8;
  if (v.ExtentTop > 1e8) v.ExtentTop = 1e8;
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

void TView::ExtendByArc(double cx, double cy, double r, double flatness, double tilt, double start,
                        double end, double divisor) {
  const double tau = tilt * kDegree;
  auto extendAt = [&](double thetaDegrees) {
    const double theta = thetaDegrees * kDegree;
    const double c = std::cos(theta), s = std::sin(theta);
    ExtendExtents(cx + r * c * std::cos(tau) - r * flatness * s * std::sin(tau),
                  cy + r * c * std::sin(tau) + r * flatness * s * std::cos(tau), divisor);
  };
  const double sweep = NormalizeDegrees(end - start);
  if (std::fabs(sweep) <= 1e-8) {
    for (double q : {0.0, 90.0, 180.0, 270.0}) extendAt(q);
    return;
  }
  extendAt(start);
  extendAt(end);
  const double a = NormalizeDegrees(start);
  for (double q : {0.0, 90.0, 180.0, 270.0}) {
    const double toQuadrant = q == 0.0 ? 360.0 - a : (q - a < 0 ? q - a + 360.0 : q - a);
    if (sweep >= toQuadrant) extendAt(q);
  }
}

void TView::ComputeExtents(const TJwwGaibu& m) {
  // Seed with the first point of the first entity of the first non-empty table.
  SeedPending = false;
  auto d = [&](const TJwwEntHead& head) { return CoordDivisor(m, head); };
  if (m.JwwLineCount > 0)
    SeedExtents(m.JwwLines[0].X1, m.JwwLines[0].Y1, d(m.JwwLines[0]));
  else if (m.JwwCircleCount > 0)
    SeedExtents(m.JwwCircles[0].Cx, m.JwwCircles[0].Cy, d(m.JwwCircles[0]));
  else if (m.JwwArcCount > 0)
    SeedExtents(m.JwwArcs[0].Cx, m.JwwArcs[0].Cy, d(m.JwwArcs[0]));
  else if (m.JwwPointCount > 0)
    SeedExtents(m.JwwPoints[0].X, m.JwwPoints[0].Y, d(m.JwwPoints[0]));
  else if (m.JwwPointExCount > 0)
    SeedExtents(m.JwwPointExs[0].X, m.JwwPointExs[0].Y, d(m.JwwPointExs[0]));
  else if (m.JwwTextCount > 0)
    SeedExtents(m.JwwTexts[0].X, m.JwwTexts[0].Y, d(m.JwwTexts[0]));
  else if (m.JwwMsgTextCount > 0)
    SeedExtents(m.JwwMsgTexts[0].Frame.X1, m.JwwMsgTexts[0].Frame.Y1, d(m.JwwMsgTexts[0]));
  else if (m.JwwSolid2Count > 0)
    SeedExtents(m.JwwSolid2s[0].X1, m.JwwSolid2s[0].Y1, d(m.JwwSolid2s[0]));
  else if (m.JwwSolid3Count > 0)
    SeedExtents(m.JwwSolid3s[0].X1, m.JwwSolid3s[0].Y1, d(m.JwwSolid3s[0]));
  else if (m.JwwSolid4Count > 0)
    SeedExtents(m.JwwSolid4s[0].X1, m.JwwSolid4s[0].Y1, d(m.JwwSolid4s[0]));
  else if (m.JwwSolidScCount > 0)
    SeedExtents(m.JwwSolidScs[0].Cx, m.JwwSolidScs[0].Cy, d(m.JwwSolidScs[0]));
  else if (m.JwwSolidSeCount > 0)
    SeedExtents(m.JwwSolidSes[0].Cx, m.JwwSolidSes[0].Cy, d(m.JwwSolidSes[0]));
  else if (m.JwwSolidSoCount > 0)
    SeedExtents(m.JwwSolidSos[0].Cx, m.JwwSolidSos[0].Cy, d(m.JwwSolidSos[0]));
  else if (m.JwwSolidSgCount > 0)
    SeedExtents(m.JwwSolidSgs[0].Cx, m.JwwSolidSgs[0].Cy, d(m.JwwSolidSgs[0]));

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
  for (int32_t i = 0; i < m.JwwLineCount; ++i) {
    const TJwwEntLine& r = m.JwwLines[i];
    ExtendExtents(r.X1, r.Y1, d(r));
    ExtendExtents(r.X2, r.Y2, d(r));
  }
  for (int32_t i = 0; i < m.JwwCircleCount; ++i) {
    const TJwwEntCircle& r = m.JwwCircles[i];
    ExtendByArc(r.Cx, r.Cy, r.Radius, 1, 0, 0, 0, d(r));
  }
  for (int32_t i = 0; i < m.JwwArcCount; ++i) {
    const TJwwEntArc& r = m.JwwArcs[i];
    ExtendByArc(r.Cx, r.Cy, r.Radius, r.Flatness, r.Tilt, r.StartAngle, r.EndAngle, d(r));
  }
  for (int32_t i = 0; i < m.JwwPointCount; ++i)
    ExtendExtents(m.JwwPoints[i].X, m.JwwPoints[i].Y, d(m.JwwPoints[i]));
  for (int32_t i = 0; i < m.JwwPointExCount; ++i)
    ExtendExtents(m.JwwPointExs[i].X, m.JwwPointExs[i].Y, d(m.JwwPointExs[i]));
  for (int32_t i = 0; i < m.JwwTextCount; ++i) {
    const TJwwEntText& r = m.JwwTexts[i];
    const double divisor = d(r);
    ExtendExtents(r.X, r.Y, divisor);
    if (!r.Text.starts_with(kImageRefPrefix)) continue;
    const TImageRef ref = ParseImageRef(r.Text);
    // The far corner of the frame as drawn: the base point is scaled, the image size is not.
    if (ref.IsImageRef)
      ExtendExtents(r.X / divisor + ref.ImageWidth, r.Y / divisor + ref.ImageHeight, 1.0);
  }
  for (int32_t i = 0; i < m.JwwMsgTextCount; ++i) {
    const TJwwEntMsgText& r = m.JwwMsgTexts[i];
    ExtendExtents(r.Frame.X1, r.Frame.Y1, d(r));
    ExtendExtents(r.Frame.X2, r.Frame.Y2, d(r));
    ExtendExtents(r.Body.X, r.Body.Y, d(r));
  }
  for (int32_t i = 0; i < m.JwwSolid2Count; ++i) {
    const TJwwEntSolid2& r = m.JwwSolid2s[i];
    ExtendExtents(r.X1, r.Y1, d(r));
    ExtendExtents(r.X2, r.Y2, d(r));
  }
  for (int32_t i = 0; i < m.JwwSolid3Count; ++i) {
    const TJwwEntSolid3& r = m.JwwSolid3s[i];
    ExtendExtents(r.X1, r.Y1, d(r));
    ExtendExtents(r.X2, r.Y2, d(r));
    ExtendExtents(r.X3, r.Y3, d(r));
  }
  for (int32_t i = 0; i < m.JwwSolid4Count; ++i) {
    const TJwwEntSolid4& r = m.JwwSolid4s[i];
    ExtendExtents(r.X1, r.Y1, d(r));
    ExtendExtents(r.X2, r.Y2, d(r));
    ExtendExtents(r.X3, r.Y3, d(r));
    ExtendExtents(r.X4, r.Y4, d(r));
  }
  auto extendArcSolid = [&](const auto& r) {
    constexpr double kToDegrees = 180.0 / std::numbers::pi;
    double start = r.Start * kToDegrees;
    double end = (r.Start + r.Sweep) * kToDegrees;
    if (r.Sweep < 0) ExchangeDoubles(start, end);
    ExtendByArc(r.Cx, r.Cy, r.Radius, r.Flatness, r.Tilt * kToDegrees, start, end, d(r));
  };
  for (int32_t i = 0; i < m.JwwSolidScCount; ++i) extendArcSolid(m.JwwSolidScs[i]);
  for (int32_t i = 0; i < m.JwwSolidSeCount; ++i) extendArcSolid(m.JwwSolidSes[i]);
  for (int32_t i = 0; i < m.JwwSolidSoCount; ++i) extendArcSolid(m.JwwSolidSos[i]);
  for (int32_t i = 0; i < m.JwwSolidSgCount; ++i) extendArcSolid(m.JwwSolidSgs[i]);
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

void TView::ResizeView(int32_t width, int32_t height) {
  const double cx = (ViewLeft + ViewRight) / 2, cy = (ViewBottom + ViewTop) / 2;
  ViewWidth = width;
  ViewHeight = height;
  CentreAt(cx, cy);
}

}  // namespace pikrotta
