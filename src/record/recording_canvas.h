// A canvas that keeps every drawing call with the pen, brush and font in force, for tests to
// assert on and for the command line's trace.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "canvas.h"

namespace pikrotta {

enum class TCallKind {
  MoveTo,
  LineTo,
  SetPixel,
  Rectangle,
  Polyline,
  Polygon,
  TextOut,
  CopyToBitmap,
  BitBlt
};

struct TCanvasCall {
  TCallKind Kind;
  std::vector<int32_t> Args;  // as given; polylines and polygons: x1, y1, x2, y2, ...
  std::string Text;           // TextOut's Shift-JIS bytes
  TPen Pen;
  TBrush Brush;
  TFontDesc Font;

  std::vector<TPoint> Points() const;  // Args as points
};

class TRecordedBitmap : public TBitmap {
 public:
  TRecordedBitmap(int32_t width, int32_t height, int32_t id) : W(width), H(height), Id(id) {}
  int32_t Width() const override { return W; }
  int32_t Height() const override { return H; }
  const int32_t W, H, Id;
};

class TRecordingCanvas : public TCanvas {
 public:
  std::vector<TCanvasCall> Calls;
  // When false, CopyToBitmap fails as a platform out of memory would.
  bool CanMakeBitmaps = true;

  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void SetPixel(int32_t x, int32_t y, TColor color) override;
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void SetFont(const TFontDesc& font) override { Font = font; }
  void TextOut(int32_t x, int32_t y, std::string_view sjis) override;
  std::unique_ptr<TBitmap> CopyToBitmap(int32_t width, int32_t height) override;
  void BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) override;

  size_t Count(TCallKind kind) const;
  // The trace of every kept call (see TTraceWriter).
  std::string Trace() const;

  TFontDesc Font;

 protected:
  // Takes each call with the state in force; this canvas keeps it.
  virtual void Keep(TCanvasCall call) { Calls.push_back(std::move(call)); }

 private:
  void Record(TCallKind kind, std::vector<int32_t> args, std::string_view text = {});
  int32_t NextBitmapId = 1;
};

// Trace lines of canvas calls: one call per line, preceded by a Pen, Brush or Font line
// whenever the state the call uses differs from the state last printed. Texts in UTF-8.
class TTraceWriter {
 public:
  void Write(const TCanvasCall& call, std::string& out);

 private:
  std::optional<TPen> LastPen;
  std::optional<TBrush> LastBrush;
  std::optional<TFontDesc> LastFont;
};

// A canvas that writes each call to a stream as it is made and keeps none, so that a trace
// of any size takes no more memory than one call.
class TTraceCanvas : public TRecordingCanvas {
 public:
  explicit TTraceCanvas(std::ostream& out) : Out(out) {}

 protected:
  void Keep(TCanvasCall call) override;

 private:
  std::ostream& Out;
  TTraceWriter Writer;
  std::string Line;
};

std::string PenLine(const TPen& pen);
std::string BrushLine(const TBrush& brush);
std::string FontLine(const TFontDesc& font);

}  // namespace pikrotta
