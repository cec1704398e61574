// Clipping of drawing-coordinate segments against the view window. A point on an edge
// (within 1e-12) counts as outside it.
#pragma once

#include <cstdint>
#include <vector>

namespace pikrotta {

struct TClipRect {
  double XMin, YMin, XMax, YMax;
};

struct TWorldPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TWorldPoint&) const = default;
};

// Bits: 1 left of XMin, 2 right of XMax, 4 below YMin, 8 above YMax. A point that is not a
// number lies nowhere near the window: all four bits.
int32_t ClipOutcode(double x, double y, const TClipRect& r);
// 0 inside, 2 outside.
int32_t PointOutsideRect(double x, double y, const TClipRect& r);
// 0 both ends inside, 2 both beyond one same edge, 1 otherwise.
int32_t SegmentVisibility(double x1, double y1, double x2, double y2, const TClipRect& r);
// Moves outside end points onto the window's edge lines. 0 untouched, 1 cut, 2 nothing left.
// A segment that passes outside a corner comes back as 1; the canvas hides what is left.
// A segment with an end that is not a finite number gives 2.
int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, const TClipRect& r);

// True when the point lies within the rectangle, edges included.
inline bool InsideRect(double x, double y, const TClipRect& r) {
  return x >= r.XMin && x <= r.XMax && y >= r.YMin && y <= r.YMax;
}
// Cuts a segment to the rectangle, moving only the ends that lie outside it; false when
// nothing of it lies within.
bool CutSegmentToRect(double& x1, double& y1, double& x2, double& y2, const TClipRect& r);
// Cuts a closed polygon to the rectangle edge by edge. Inside the rectangle it covers the same
// points as before, by the even-odd rule and by winding, whatever its shape.
void CutPolygonToRect(const std::vector<TWorldPoint>& polygon, const TClipRect& r,
                      std::vector<TWorldPoint>& cut);

}  // namespace pikrotta
