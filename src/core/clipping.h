// Clipping of drawing-coordinate segments against the view window. A point on an edge
// (within 1e-12) counts as outside it.
#pragma once

#include <cstdint>

namespace pikrotta {

struct TClipRect {
  double XMin, YMin, XMax, YMax;
};

// Bits: 1 left of XMin, 2 right of XMax, 4 below YMin, 8 above YMax.
int32_t ClipOutcode(double x, double y, const TClipRect& r);
// 0 inside, 2 outside.
int32_t PointOutsideRect(double x, double y, const TClipRect& r);
// 0 both ends inside, 2 both beyond one same edge, 1 otherwise.
int32_t SegmentVisibility(double x1, double y1, double x2, double y2, const TClipRect& r);
// Moves outside end points onto the window's edge lines. 0 untouched, 1 cut, 2 nothing left.
// A segment that passes outside a corner comes back as 1; the canvas hides what is left.
int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, const TClipRect& r);

}  // namespace pikrotta
