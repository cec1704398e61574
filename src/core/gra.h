// The drawing toolkit every entity drawer uses: pens and brushes from pen numbers, clipped
// world lines, rectangles, polylines and polygons, ellipses and arcs of 72 chords, the
// arc-based solids, and the point markers.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"
#include "clipping.h"
#include "graphic_attributes.h"
#include "jww_model.h"
#include "view.h"

namespace pikrotta {

struct TWorldPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TWorldPoint&) const = default;
};

// Shape codes of DrawSolidArcShape.
constexpr int32_t kShapeFilledArc = 101;   // "sc": ellipse, sector, segment or tangent-closed
constexpr int32_t kShapeArcOutline = 111;  // "se"
constexpr int32_t kShapeRingSector = 105;  // "so" and "sg"

// Width of a record's line in mm: LineWidth / 100, or its pen's width when LineWidth is 0.
double EntityWidth(const TgraAttribute& attributes, int32_t color, int32_t lineWidth);

class TGra {
 public:
  TGra(const TView& view, const TgraAttribute& attributes, const TJwwGaibu& model)
      : View(view), GraAttribute(attributes), Model(model) {}

  const TView& View;
  const TgraAttribute& GraAttribute;
  const TJwwGaibu& Model;

  // Scratch buffers: a drawer fills WorldPoints, calls a polyline or polygon primitive and
  // empties it again; ScreenPoints is used only inside those primitives.
  std::vector<TWorldPoint> WorldPoints;
  std::vector<TPoint> ScreenPoints;

  TClipRect ViewRect() const {
    return {View.ViewLeft, View.ViewBottom, View.ViewRight, View.ViewTop};
  }

  void ClearPaintArea(TCanvas& canvas, int32_t width, int32_t height) const;
  static void SetScreenPen(TCanvas& canvas, TColor color, int32_t style, int32_t width);
  static void SetScreenBrush(TCanvas& canvas, TColor color, int32_t brushCode);
  static void SetXorPen(TCanvas& canvas);
  static void DrawPixelLine(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  static void DrawPixelRect(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void SetEntityPen(TCanvas& canvas, int32_t color, int32_t lineType) const;
  void SetEntityBrush(TCanvas& canvas, int32_t color, int32_t brushCode) const;

  void DrawWorldLine(TCanvas& canvas, double x1, double y1, double x2, double y2) const;
  void DrawWorldRect(TCanvas& canvas, double x1, double y1, double x2, double y2);
  void DrawWorldPolyline(TCanvas& canvas);
  void DrawWorldPolygon(TCanvas& canvas);
  // Angles in radians.
  void DrawWorldEllipse(TCanvas& canvas, double cx, double cy, double r, double flatness,
                        double tilt) const;
  void DrawWorldArc(TCanvas& canvas, double cx, double cy, double r, double flatness, double tilt,
                    double start, double sweep) const;
  void DrawSolidArcShape(TCanvas& canvas, int32_t shapeCode, double cx, double cy, double r,
                         double flatness, double tilt, double start, double sweep, double p);

  void DrawPointEntity(TCanvas& canvas, const TJwwEntPoint& point);
  void DrawPointExEntity(TCanvas& canvas, const TJwwEntPointEx& point);
  // x, y already divided; angle in radians.
  void DrawPointMarker(TCanvas& canvas, int32_t code, double x, double y, double angle, double size,
                       int32_t color, int32_t lineWidth);

 private:
  // 72 chords from parameter angle start, the step accumulated by addition.
  void DrawChords(TCanvas& canvas, double cx, double cy, double r, double flatness, double tilt,
                  double start, double step) const;
  void AppendArcPoints(double cx, double cy, double r, double flatness, double tilt, double start,
                       double sweep);
  void DrawScreenPoints(TCanvas& canvas);
};

}  // namespace pikrotta
