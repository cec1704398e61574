#include "clipping.h"

#include <cmath>

namespace pikrotta {

int32_t ClipOutcode(double x, double y, const TClipRect& r) {
  int32_t code = 0;
  if (x - r.XMin < 1e-12) code += 1;
  if (x - r.XMax > -1e-12) code += 2;
  if (y - r.YMin < 1e-12) code += 4;
  if (y - r.YMax > -1e-12) code += 8;
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
// always interpolating along the original segment from (x0, y0).
void ClipEnd(double& x, double& y, int32_t code, double x0, double y0, double dx, double dy,
             const TClipRect& r) {
  if ((code & 1) && std::fabs(dx) > 1e-12) {
    x = r.XMin;
    y = y0 + (r.XMin - x0) * dy / dx;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 2) && std::fabs(dx) > 1e-12) {
    x = r.XMax;
    y = y0 + (r.XMax - x0) * dy / dx;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 4) && std::fabs(dy) > 1e-12) {
    y = r.YMin;
    x = x0 + dx * (r.YMin - y0) / dy;
    code = ClipOutcode(x, y, r);
  }
  if ((code & 8) && std::fabs(dy) > 1e-12) {
    y = r.YMax;
    x = x0 + dx * (r.YMax - y0) / dy;
  }
}

}  // namespace

int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, const TClipRect& r) {
  const int32_t c1 = ClipOutcode(x1, y1, r), c2 = ClipOutcode(x2, y2, r);
  if (c1 == 0 && c2 == 0) return 0;
  if ((c1 & c2) != 0) return 2;
  const double x0 = x1, y0 = y1, dx = x2 - x1, dy = y2 - y1;
  ClipEnd(x1, y1, c1, x0, y0, dx, dy, r);
  ClipEnd(x2, y2, c2, x0, y0, dx, dy, r);
  if (std::fabs(x2 - x1) < 1e-12 && std::fabs(y2 - y1) < 1e-12) return 2;
  return 1;
}

}  // namespace pikrotta
