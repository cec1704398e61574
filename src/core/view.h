// The one view transform from drawing units (mm, y up) to paint-area pixels (y down), the
// previous view, and the drawing extents that fit-to-window centres on.
#pragma once

#include <algorithm>
#include <cstdint>

#include "my_func.h"

#include "clipping.h"
#include "jww_model.h"

namespace pikrotta {

// The pixel row that lies up pixels above the bottom of a paint area height pixels high. In
// 64 bits: a point far below the view must stay far below, not wrap round to above it.
inline int32_t PixelFromBottom(int32_t height, int32_t up) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{height} - up, INT32_MIN, INT32_MAX));
}

struct TView {
  double ViewScale = 0;  // pixels per drawing unit
  double ViewLeft = 0;
  double ViewBottom = 0;
  double ViewRight = 0;
  double ViewTop = 0;
  int32_t ViewWidth = 0;
  int32_t ViewHeight = 0;

  double PrevViewScale = 0;
  double PrevViewLeft = 0;
  double PrevViewBottom = 0;
  double PrevViewRight = 0;
  double PrevViewTop = 0;

  double ExtentLeft = 0;
  double ExtentBottom = 0;
  double ExtentRight = 0;
  double ExtentTop = 0;
  bool SeedPending = false;  // the seed point was not a finite number

  int32_t WorldToScreenX(double x) const { return RoundHalfAway((x - ViewLeft) * ViewScale); }
  int32_t WorldToScreenY(double y) const {
    return PixelFromBottom(ViewHeight, RoundHalfAway((y - ViewBottom) * ViewScale));
  }
  double ScreenToWorldX(int32_t px) const { return ViewLeft + px / ViewScale; }
  double ScreenToWorldY(int32_t py) const { return ViewTop - py / ViewScale; }

  // Copies the scale and the window to the previous view.
  void SavePrevView();
  void RestorePrevView();
  // A scale above zero and edges that are numbers: what every gesture must leave.
  bool IsFinite() const;
  // Sets the window from its centre, the scale and the pixel size.
  void CentreAt(double cx, double cy);

  // Extents of everything drawable in the model.
  void ComputeExtents(const TJwwGaibu& model);
  // Scales and centres the view on the extents for a paint area of width x height pixels.
  // The caller redraws.
  void FitToWindow(const TJwwGaibu& model, int32_t width, int32_t height);
  // The paint area changed size: same scale, same centre, no previous view saved.
  void ResizeView(int32_t width, int32_t height);

  void SeedExtents(double x, double y, double divisor);
  void ExtendExtents(double x, double y, double divisor);
  // Extends by an elliptic arc; angles and tilt in degrees.
  void ExtendByArc(double cx, double cy, double r, double flatness, double tilt, double start,
                   double end, double divisor);
};

// The scale divisor of a record: its layer group's scale, or 1 with NoScale.
double CoordDivisor(const TJwwGaibu& model, const TJwwEntHead& head);

// Brings an angle in degrees into [0, 360).
double NormalizeDegrees(double degrees);

}  // namespace pikrotta
