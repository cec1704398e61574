// The drawing toolkit every entity drawer uses: pens and brushes from pen numbers, clipped
// world lines, rectangles, polylines and polygons, ellipses and arcs of 72 chords, the
// arc-based solids, and the point markers.
#pragma once

#include <cstdint>
#include <vector>

#include <string>
#include <string_view>

#include "canvas.h"
#include "clipping.h"
#include "graphic_attributes.h"
#include "host_interfaces.h"
#include "jww_model.h"
#include "text_codes.h"
#include "view.h"

namespace pikrotta {

// Shape codes of DrawSolidArcShape.
constexpr int32_t kShapeFilledArc = 101;   // "sc": ellipse, sector, segment or tangent-closed
constexpr int32_t kShapeArcOutline = 111;  // "se"
constexpr int32_t kShapeRingSector = 105;  // "so" and "sg"

// TextStyleFlags of a run of characters.
constexpr int32_t kTextBold = 1;
constexpr int32_t kTextItalic = 2;
constexpr int32_t kTextUnderline = 4;
constexpr int32_t kTextStrikeOut = 8;

// How far beyond the view a mapped pixel may lie: well inside int32, and inside what GDI
// draws exactly.
constexpr double kPixelGuard = 1 << 24;

// The longest face name a font description holds, in bytes.
constexpr int32_t kMaxFaceNameBytes = 31;

// Width of a record's line in mm: LineWidth / 100, or its pen's width when LineWidth is 0.
double EntityWidth(const TgraAttribute& attributes, int32_t color, int32_t lineWidth);

// Draws the drawing model through one view onto a canvas: the primitives, the entity
// drawers, the texts and the whole drawing pass.
class TEllipse;

// The pictures a shell has read for the frames of image references, by their texts.
class TFramePictures {
 public:
  virtual ~TFramePictures() = default;
  // Null when there is no picture for this frame.
  virtual const TBitmap* PictureOf(const TJwwEntText& text) const = 0;
};

class TGra {
 public:
  TGra(const TView& view, const TgraAttribute& attributes, const TJwwGaibu& model,
       const TClockLocale& clock, const TEscKeyState& keys)
      : View(view), GraAttribute(attributes), Model(model), Clock(clock), Keys(keys) {}

  const TView& View;
  const TgraAttribute& GraAttribute;
  const TJwwGaibu& Model;
  const TClockLocale& Clock;
  const TEscKeyState& Keys;

  // Read by the text codes; nothing assigns them.
  TDrawingInfo DrawingInfo;
  // Empty until the first search; the pass counts and marks texts that begin with it.
  std::string SearchPrefix;
  int32_t ImageRefTextCount = 0;
  // Drawn into their frames when set; the window draws frames only.
  const TFramePictures* FramePictures = nullptr;

  // Scratch buffers: a drawer fills WorldPoints, calls a polyline or polygon primitive and
  // empties it again; ScreenPoints is used only inside those primitives.
  std::vector<TWorldPoint> WorldPoints;
  std::vector<TPoint> ScreenPoints;

  TClipRect ViewRect() const {
    return {View.ViewLeft, View.ViewBottom, View.ViewRight, View.ViewTop};
  }
  // The view widened by kPixelGuard pixels on every side. Whatever lies beyond it is cut off
  // before mapping, so every pixel handed to the canvas is exact and far from the int32 limits.
  TClipRect GuardRect() const;

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

  // Texts.
  void DrawTextEntity(TCanvas& canvas, const TJwwEntText& text);
  void DrawMsgTextEntity(TCanvas& canvas, const TJwwEntMsgText& text);
  void DrawTextString(TCanvas& canvas, int32_t flags, std::string_view face, std::string_view text,
                      double spacing, double width, double height, double endY, double endX,
                      double startY, double startX);
  void DrawTextRun(TCanvas& canvas, int32_t flags, std::string_view face, std::string_view run,
                   double spacing, double width, double height, double angle, double y, double x);

  // The drawing pass. False when the Esc key cut it short.
  bool DrawAllEntities(TCanvas& canvas);
  void MarkImageRefs(TCanvas& canvas, double radius, int32_t penWidth = 3);
  void DrawImageRefFrame(TCanvas& canvas, const TJwwEntText& text);
  void DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid2& solid);
  void DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid3& solid);
  void DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid4& solid);
  void DrawSolidEntity(TCanvas& canvas, int32_t shapeCode, const TJwwEntSolidSc& solid);
  void DrawSolidEntity(TCanvas& canvas, int32_t shapeCode, const TJwwEntSolidSo& solid);
  void DrawLineEntity(TCanvas& canvas, const TJwwEntLine& line);
  void DrawCircleEntity(TCanvas& canvas, const TJwwEntCircle& circle);
  void DrawArcEntity(TCanvas& canvas, const TJwwEntArc& arc);

 private:
  // The directions of a text at one angle, computed once per run.
  struct TTextFrame {
    double AlongX, AlongY;  // angle
    double UpX, UpY;        // angle + pi/2
    double DownX, DownY;    // angle - pi/2
    explicit TTextFrame(double angle);
  };
  // One character cell, drawn when any of its corners lies in the view.
  void DrawTextChar(TCanvas& canvas, std::string_view character, const TTextFrame& frame,
                    double width, double height, double y, double x);
  void DrawEscapedText(TCanvas& canvas, int32_t baseFlags, std::string_view face,
                       std::string_view text, double a, double w, double h, double angle, double y,
                       double x);
  void SetSolidPenAndBrush(TCanvas& canvas, const TJwwEntHead& head, int32_t extColor) const;
  void DrawCornerSolid(TCanvas& canvas, std::initializer_list<TWorldPoint> corners);
  // 72 chords from parameter angle start, the step accumulated by addition.
  void DrawChords(TCanvas& canvas, double cx, double cy, double r, double flatness, double tilt,
                  double start, double step) const;
  // The same for an ellipse within reach of its centre that lies wholly inside the view.
  void DrawChordsInView(TCanvas& canvas, const TEllipse& ellipse, double reach, bool whole,
                        double start, double step) const;
  void AppendArcPoints(double cx, double cy, double r, double flatness, double tilt, double start,
                       double sweep);
  void DrawScreenPoints(TCanvas& canvas);
  // ClipSegment, then what lies beyond the guard cut off. 0 untouched, 1 cut, 2 nothing left.
  int32_t ClipForDrawing(double& x1, double& y1, double& x2, double& y2) const;

  std::vector<TWorldPoint> GuardPoints;  // a polygon cut to the guard
};

}  // namespace pikrotta
