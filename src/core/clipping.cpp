#include "clipping.h"

#include <algorithm>
#include <cmath>

namespace pikrotta {

int32_t ClipOutcode(double x, double y, const TClipRect& r) {
  // Written as negations so that a coordinate that is not a number sets every bit.
  int32_t code = 0;
  if (!(x - r.XMin >= 1e-12)) code += 1;
  if (!(x - r.XMax <= -1e-12)) code += 2;
  if (!(y - r.YMin >= 1e-12)) code += 4;
  if (!(y - r.YMax <= -1e-12)) code += 8;
  return code;
}

int32_t PointOutsideRect(double x, double y, const TClipRect& r) {
  return ClipOutcode(x, y, r) == 0 ? 0 : 2;
}

int32_t SegmentVisibility(double x1, double y1, double x2, double y2, const TClipRect& r) {
  const int32_t c1 = ClipOutcode(x1, y1, r), c2 = ClipOutcode(x2, y2, r);
  if (c1 == 0 && c2 == 0) return 0;
  if ((c1 & c2) != 0) return 2;
  return 1;
}

namespace {

// Moves one end point towards the window, edge by edge in the order left, right, bottom, top,
// always interpolating along the original segment from (x0, y0). The fraction of the segment
// comes first: the product of two far-off differences would overflow where the fraction does not.
void ClipEnd(double& x, double& y, int32_t code, double x0, double y0, double dx, double dy,
             const TClipRect& r) {
  if ((code & 1) && std::fabs(dx) > 1e-12) {
    x = r.XMin;
    y = y0 + (r.XMin - x0) / dx * dy;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 2) && std::fabs(dx) > 1e-12) {
    x = r.XMax;
    y = y0 + (r.XMax - x0) / dx * dy;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 4) && std::fabs(dy) > 1e-12) {
    y = r.YMin;
    x = x0 + (r.YMin - y0) / dy * dx;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 8) && std::fabs(dy) > 1e-12) {
    y = r.YMax;
    x = x0 + (r.YMax - y0) / dy * dx;
  }
}

}  // namespace

int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, const TClipRect& r) {
  // An infinite end (a coordinate divided by a zero group scale) would interpolate to NaN.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return 2;
  const int32_t c1 = ClipOutcode(x1, y1, r), c2 = ClipOutcode(x2, y2, r);
  if (c1 == 0 && c2 == 0) return 0;
  if ((c1 & c2) != 0) return 2;
  const double x0 = x1, y0 = y1, dx = x2 - x1, dy = y2 - y1;
  ClipEnd(x1, y1, c1, x0, y0, dx, dy, r);
  ClipEnd(x2, y2, c2, x0, y0, dx, dy, r);
  // Ends near the largest numbers may still overflow; such a segment is left out.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return 2;
  if (std::fabs(x2 - x1) < 1e-12 && std::fabs(y2 - y1) < 1e-12) return 2;
  return 1;
}

bool CutSegmentToRect(double& x1, double& y1, double& x2, double& y2, const TClipRect& r) {
  // Liang-Barsky: the part of the segment within the rectangle is t0 .. t1 of it.
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  auto edge = [&](double p, double q) {  // the inside of one edge: p * t <= q
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!edge(-dx, x1 - r.XMin) || !edge(dx, r.XMax - x1) || !edge(-dy, y1 - r.YMin) ||
      !edge(dy, r.YMax - y1))
    return false;
  // Ends within the rectangle keep their exact values.
  const double sx = x1, sy = y1;
  if (t1 < 1) x2 = sx + t1 * dx, y2 = sy + t1 * dy;
  if (t0 > 0) x1 = sx + t0 * dx, y1 = sy + t0 * dy;
  return true;
}

void CutPolygonToRect(const std::vector<TWorldPoint>& polygon, const TClipRect& r,
                      std::vector<TWorldPoint>& cut) {
  // Sutherland-Hodgman. Each step replaces what lies beyond one edge line by a path along
  // it; such a detour never winds around a point inside, so coverage inside is unchanged.
  std::vector<TWorldPoint> in;
  cut = polygon;
  auto step = [&](auto inside, auto cross) {
    in.swap(cut);
    cut.clear();
    for (size_t i = 0; i < in.size(); ++i) {
      const TWorldPoint& p = in[i];
      const TWorldPoint& q = in[(i + 1) % in.size()];
      const bool pIn = inside(p), qIn = inside(q);
      if (pIn) cut.push_back(p);
      if (pIn != qIn) cut.push_back(cross(p, q));
    }
  };
  auto atX = [](double x) {
    return [x](const TWorldPoint& p, const TWorldPoint& q) {
      return TWorldPoint{x, p.Y + (q.Y - p.Y) * (x - p.X) / (q.X - p.X)};
    };
  };
  auto atY = [](double y) {
    return [y](const TWorldPoint& p, const TWorldPoint& q) {
      return TWorldPoint{p.X + (q.X - p.X) * (y - p.Y) / (q.Y - p.Y), y};
    };
  };
  step([&](const TWorldPoint& p) { return p.X >= r.XMin; }, atX(r.XMin));
  step([&](const TWorldPoint& p) { return p.X <= r.XMax; }, atX(r.XMax));
  step([&](const TWorldPoint& p) { return p.Y >= r.YMin; }, atY(r.YMin));
  step([&](const TWorldPoint& p) { return p.Y <= r.YMax; }, atY(r.YMax));
}

}  // namespace pikrotta
