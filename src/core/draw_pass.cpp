// The drawing pass: every entity table in a fixed order, fills first, watching the Esc key;
// and the marks around image references after a search.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "clipping.h"
#include "gra.h"
#include "image_ref.h"

namespace pikrotta {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

bool BeginsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.starts_with(prefix);  // an empty prefix never matches
}

}  // namespace

void TGra::DrawImageRefFrame(TCanvas& canvas, const TJwwEntText& text) {
  if (!text.Text.starts_with(kImageRefPrefix)) return;
  const TImageRef ref = ParseImageRef(text.Text);
  if (!ref.IsImageRef) return;
  const double s = CoordDivisor(Model, text);
  const double x = text.X / s, y = text.Y / s;
  SetEntityPen(canvas, text.Color, 1);
  SetEntityBrush(canvas, text.Color, 5);  // backward-diagonal hatch
  DrawWorldRect(canvas, x, y, x + ref.ImageWidth, y + ref.ImageHeight);
  const TBitmap* picture = FramePictures ? FramePictures->PictureOf(text) : nullptr;
  if (!picture || SegmentVisibility(x, y, x + ref.ImageWidth, y + ref.ImageHeight, ViewRect()) == 2)
    return;
  // Upright over the frame, whichever corner the placement starts from.
  const int32_t left = View.WorldToScreenX(std::min(x, x + ref.ImageWidth));
  const int32_t right = View.WorldToScreenX(std::max(x, x + ref.ImageWidth));
  const int32_t top = View.WorldToScreenY(std::max(y, y + ref.ImageHeight));
  const int32_t bottom = View.WorldToScreenY(std::min(y, y + ref.ImageHeight));
  // A frame beyond the screen's numbers would be drawn squeezed against their end.
  for (const int32_t v : {left, right, top, bottom})
    if (v == INT32_MAX || v == INT32_MIN) return;
  canvas.StretchDraw(left, top, right, bottom, *picture);
}

void TGra::SetSolidPenAndBrush(TCanvas& canvas, const TJwwEntHead& head, int32_t extColor) const {
  if (head.Color == 10) {  // colour 10: the record's own colour value
    canvas.Pen.Color = extColor;
    canvas.Brush.Color = extColor;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 0;
    canvas.Brush.Style = bsSolid;
  } else {
    SetEntityPen(canvas, head.Color, 1);
    SetEntityBrush(canvas, head.Color, 1);
  }
}

void TGra::DrawCornerSolid(TCanvas& canvas, std::initializer_list<TWorldPoint> corners) {
  WorldPoints.assign(corners);
  if (WorldPoints.size() == 2)
    DrawWorldPolyline(canvas);
  else
    DrawWorldPolygon(canvas);
  WorldPoints.clear();
}

void TGra::DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid2& r) {
  SetSolidPenAndBrush(canvas, r, r.ExtColor);
  const double s = CoordDivisor(Model, r);
  DrawCornerSolid(canvas, {{r.X1 / s, r.Y1 / s}, {r.X2 / s, r.Y2 / s}});
}

void TGra::DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid3& r) {
  SetSolidPenAndBrush(canvas, r, r.ExtColor);
  const double s = CoordDivisor(Model, r);
  DrawCornerSolid(canvas, {{r.X1 / s, r.Y1 / s}, {r.X2 / s, r.Y2 / s}, {r.X3 / s, r.Y3 / s}});
}

void TGra::DrawSolidEntity(TCanvas& canvas, const TJwwEntSolid4& r) {
  SetSolidPenAndBrush(canvas, r, r.ExtColor);
  const double s = CoordDivisor(Model, r);
  DrawCornerSolid(
      canvas,
      {{r.X1 / s, r.Y1 / s}, {r.X2 / s, r.Y2 / s}, {r.X3 / s, r.Y3 / s}, {r.X4 / s, r.Y4 / s}});
}

void TGra::DrawSolidEntity(TCanvas& canvas, int32_t shapeCode, const TJwwEntSolidSc& r) {
  SetSolidPenAndBrush(canvas, r, r.ExtColor);
  const double s = CoordDivisor(Model, r);
  DrawSolidArcShape(canvas, shapeCode, r.Cx / s, r.Cy / s, r.Radius / s, r.Flatness, r.Tilt,
                    r.Start, r.Sweep, r.ShapeParam);
}

void TGra::DrawSolidEntity(TCanvas& canvas, int32_t shapeCode, const TJwwEntSolidSo& r) {
  SetSolidPenAndBrush(canvas, r, r.ExtColor);
  const double s = CoordDivisor(Model, r);
  DrawSolidArcShape(canvas, shapeCode, r.Cx / s, r.Cy / s, r.Radius / s, r.Flatness, r.Tilt,
                    r.Start, r.Sweep, r.InnerRadius / s);
}

void TGra::DrawLineEntity(TCanvas& canvas, const TJwwEntLine& r) {
  SetEntityPen(canvas, r.Color, r.LineType);
  const double s = CoordDivisor(Model, r);
  DrawWorldLine(canvas, r.X1 / s, r.Y1 / s, r.X2 / s, r.Y2 / s);
}

void TGra::DrawCircleEntity(TCanvas& canvas, const TJwwEntCircle& r) {
  SetEntityPen(canvas, r.Color, r.LineType);
  const double s = CoordDivisor(Model, r);
  DrawWorldEllipse(canvas, r.Cx / s, r.Cy / s, r.Radius / s, 1, 0);
}

void TGra::DrawArcEntity(TCanvas& canvas, const TJwwEntArc& r) {
  SetEntityPen(canvas, r.Color, r.LineType);
  const double start = NormalizeDegrees(r.StartAngle);
  const double sweep = NormalizeDegrees(r.EndAngle - r.StartAngle);
  const double s = CoordDivisor(Model, r);
  if (std::fabs(sweep) <= 1e-8)
    DrawWorldEllipse(canvas, r.Cx / s, r.Cy / s, r.Radius / s, r.Flatness, r.Tilt * kDegree);
  else
    DrawWorldArc(canvas, r.Cx / s, r.Cy / s, r.Radius / s, r.Flatness, r.Tilt * kDegree,
                 start * kDegree, sweep * kDegree);
}

bool TGra::DrawAllEntities(TCanvas& canvas) {
  ImageRefTextCount = 0;
  // Draws every record of a table, polling the Esc key after records 0, 10, 20, ...
  auto walk = [&](const auto& table, int32_t count, auto draw) {
    for (int32_t i = 0; i < count; ++i) {
      draw(table[static_cast<size_t>(i)]);
      if (i % 10 == 0 && Keys.EscPressed()) return false;
    }
    return true;
  };
  // Every table but the first is preceded by a poll.
  auto step = [&](const auto& table, int32_t count, auto draw) {
    return !Keys.EscPressed() && walk(table, count, draw);
  };
  auto solid = [&](int32_t shapeCode) {
    return [this, &canvas, shapeCode](const auto& r) { DrawSolidEntity(canvas, shapeCode, r); };
  };
  auto corners = [&](const auto& r) { DrawSolidEntity(canvas, r); };
  const TJwwGaibu& m = Model;
  auto countImageRef = [&](const TJwwEntText& r) {
    if (BeginsWith(r.Text, SearchPrefix)) ++ImageRefTextCount;
  };
  // Onto a canvas that keeps nothing only the count of the search is of use: the command
  // line's search of a million references spent a tenth of its time drawing them away.
  if (!canvas.KeepsPixels()) return walk(m.JwwTexts, m.JwwTextCount, countImageRef);

  const bool fillsDone = walk(m.JwwTexts, m.JwwTextCount,
                              [&](const TJwwEntText& r) { DrawImageRefFrame(canvas, r); }) &&
                         step(m.JwwSolid2s, m.JwwSolid2Count, corners) &&
                         step(m.JwwSolid3s, m.JwwSolid3Count, corners) &&
                         step(m.JwwSolid4s, m.JwwSolid4Count, corners) &&
                         step(m.JwwSolidScs, m.JwwSolidScCount, solid(kShapeFilledArc)) &&
                         step(m.JwwSolidSes, m.JwwSolidSeCount, solid(kShapeArcOutline)) &&
                         step(m.JwwSolidSos, m.JwwSolidSoCount, solid(kShapeRingSector)) &&
                         step(m.JwwSolidSgs, m.JwwSolidSgCount, solid(kShapeRingSector));
  if (!fillsDone) return false;
  // Fills are done: everything after lies on top of them, unfilled.
  canvas.Brush.Style = bsClear;
  return step(m.JwwLines, m.JwwLineCount, [&](const auto& r) { DrawLineEntity(canvas, r); }) &&
         step(m.JwwCircles, m.JwwCircleCount,
              [&](const auto& r) { DrawCircleEntity(canvas, r); }) &&
         step(m.JwwArcs, m.JwwArcCount, [&](const auto& r) { DrawArcEntity(canvas, r); }) &&
         step(m.JwwPoints, m.JwwPointCount, [&](const auto& r) { DrawPointEntity(canvas, r); }) &&
         step(m.JwwPointExs, m.JwwPointExCount,
              [&](const auto& r) { DrawPointExEntity(canvas, r); }) &&
         step(m.JwwTexts, m.JwwTextCount,
              [&](const TJwwEntText& r) {
                countImageRef(r);
                DrawTextEntity(canvas, r);
              }) &&
         step(m.JwwMsgTexts, m.JwwMsgTextCount,
              [&](const auto& r) { DrawMsgTextEntity(canvas, r); });
}

void TGra::MarkImageRefs(TCanvas& canvas, double radius, int32_t penWidth) {
  if (Keys.EscPressed()) return;
  for (int32_t i = 0; i < Model.JwwTextCount; ++i) {
    const TJwwEntText& text = Model.JwwTexts[static_cast<size_t>(i)];
    if (BeginsWith(text.Text, SearchPrefix)) {
      canvas.Pen.Color = 0x0000FF;  // red
      canvas.Pen.Style = psSolid;
      canvas.Pen.Width = penWidth;
      // The stored point, as the search list keeps it, not divided by the group scale.
      DrawWorldEllipse(canvas, text.X, text.Y, radius, 1, 0);
    }
    if (i % 10 == 0 && Keys.EscPressed()) return;
  }
}

}  // namespace pikrotta
