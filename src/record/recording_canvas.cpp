#include "recording_canvas.h"

#include <algorithm>
#include <cstdio>

#include "sjis_utf8.h"

namespace pikrotta {

namespace {

constexpr const char* kPenStyles[] = {"psSolid",   "psDash",       "psDot",
                                      "psDashDot", "psDashDotDot", "psClear"};
constexpr const char* kPenModes[] = {"pmCopy", "pmXor"};
constexpr const char* kBrushStyles[] = {"bsSolid",    "bsClear",     "bsHorizontal",
                                        "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                        "bsCross",    "bsDiagCross"};

template <size_t N>
const char* NameOf(const char* const (&names)[N], int32_t value) {
  return value >= 0 && static_cast<size_t>(value) < N ? names[value] : "?";
}

std::string Hex(TColor color) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(color));
  return buffer;
}

const char* CallName(TCallKind kind) {
  switch (kind) {
    case TCallKind::MoveTo:
      return "MoveTo";
    case TCallKind::LineTo:
      return "LineTo";
    case TCallKind::SetPixel:
      return "SetPixel";
    case TCallKind::Rectangle:
      return "Rectangle";
    case TCallKind::Polyline:
      return "Polyline";
    case TCallKind::Polygon:
      return "Polygon";
    case TCallKind::TextOut:
      return "TextOut";
    case TCallKind::CopyToBitmap:
      return "CopyToBitmap";
    case TCallKind::BitBlt:
      return "BitBlt";
  }
  return "?";
}

bool UsesPen(TCallKind k) {
  return k == TCallKind::LineTo || k == TCallKind::Rectangle || k == TCallKind::Polyline ||
         k == TCallKind::Polygon;
}
bool UsesBrush(TCallKind k) {
  return k == TCallKind::Rectangle || k == TCallKind::Polygon;
}

}  // namespace

std::vector<TPoint> TCanvasCall::Points() const {
  std::vector<TPoint> points;
  for (size_t i = 0; i + 1 < Args.size(); i += 2) points.push_back({Args[i], Args[i + 1]});
  return points;
}

void TRecordingCanvas::Record(TCallKind kind, std::vector<int32_t> args, std::string_view text) {
  Keep(TCanvasCall{kind, std::move(args), std::string(text), Pen, Brush, Font});
}

void TRecordingCanvas::MoveTo(int32_t x, int32_t y) {
  Record(TCallKind::MoveTo, {x, y});
}
void TRecordingCanvas::LineTo(int32_t x, int32_t y) {
  Record(TCallKind::LineTo, {x, y});
}
void TRecordingCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  Record(TCallKind::SetPixel, {x, y, color});
}
void TRecordingCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Record(TCallKind::Rectangle, {x1, y1, x2, y2});
}

namespace {

std::vector<int32_t> Flatten(std::span<const TPoint> points) {
  std::vector<int32_t> args;
  args.reserve(points.size() * 2);
  for (const TPoint& p : points) args.insert(args.end(), {p.X, p.Y});
  return args;
}

}  // namespace

void TRecordingCanvas::Polyline(std::span<const TPoint> points) {
  Record(TCallKind::Polyline, Flatten(points));
}

void TRecordingCanvas::Polygon(std::span<const TPoint> points) {
  Record(TCallKind::Polygon, Flatten(points));
}

void TRecordingCanvas::TextOut(int32_t x, int32_t y, std::string_view sjis) {
  Record(TCallKind::TextOut, {x, y}, sjis);
}

std::unique_ptr<TBitmap> TRecordingCanvas::CopyToBitmap(int32_t width, int32_t height) {
  if (!CanMakeBitmaps) return nullptr;
  const int32_t id = NextBitmapId++;
  Record(TCallKind::CopyToBitmap, {width, height, id});
  return std::make_unique<TRecordedBitmap>(width, height, id);
}

void TRecordingCanvas::BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) {
  const auto* recorded = dynamic_cast<const TRecordedBitmap*>(&bitmap);
  Record(TCallKind::BitBlt, {x, y, bitmap.Width(), bitmap.Height(), recorded ? recorded->Id : 0});
}

size_t TRecordingCanvas::Count(TCallKind kind) const {
  return static_cast<size_t>(std::count_if(
      Calls.begin(), Calls.end(), [kind](const TCanvasCall& c) { return c.Kind == kind; }));
}

std::string PenLine(const TPen& pen) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "Pen color=0x%06X width=%d style=%s mode=%s",
                static_cast<unsigned>(pen.Color), pen.Width, NameOf(kPenStyles, pen.Style),
                NameOf(kPenModes, pen.Mode));
  return buffer;
}

std::string BrushLine(const TBrush& brush) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "Brush color=0x%06X style=%s",
                static_cast<unsigned>(brush.Color), NameOf(kBrushStyles, brush.Style));
  return buffer;
}

std::string FontLine(const TFontDesc& f) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer,
                "Font color=0x%06X height=%d width=%d escapement=%d orientation=%d weight=%d "
                "italic=%d underline=%d strikeout=%d charset=%d face=\"",
                static_cast<unsigned>(f.Color), f.Height, f.Width, f.Escapement, f.Orientation,
                f.Weight, f.Italic, f.Underline, f.StrikeOut, f.CharSet);
  std::string line = buffer;
  line += SjisToUtf8(f.FaceName);
  line += '"';
  return line;
}

void TTraceWriter::Write(const TCanvasCall& call, std::string& out) {
  if (UsesPen(call.Kind) && LastPen != call.Pen) {
    LastPen = call.Pen;
    out += PenLine(call.Pen);
    out += '\n';
  }
  if (UsesBrush(call.Kind) && LastBrush != call.Brush) {
    LastBrush = call.Brush;
    out += BrushLine(call.Brush);
    out += '\n';
  }
  if (call.Kind == TCallKind::TextOut && LastFont != call.Font) {
    LastFont = call.Font;
    out += FontLine(call.Font);
    out += '\n';
  }
  out += CallName(call.Kind);
  if (call.Kind == TCallKind::Polyline || call.Kind == TCallKind::Polygon) {
    out += ' ';
    out += std::to_string(call.Args.size() / 2);
  }
  for (size_t i = 0; i < call.Args.size(); ++i) {
    const bool colour = call.Kind == TCallKind::SetPixel && i == 2;
    out += ' ';
    out += colour ? Hex(call.Args[i]) : std::to_string(call.Args[i]);
  }
  if (call.Kind == TCallKind::TextOut) {
    out += " \"";
    out += SjisToUtf8(call.Text);
    out += '"';
  }
  out += '\n';
}

std::string TRecordingCanvas::Trace() const {
  std::string out;
  TTraceWriter writer;
  for (const TCanvasCall& call : Calls) writer.Write(call, out);
  return out;
}

void TTraceCanvas::Keep(TCanvasCall call) {
  Line.clear();
  Writer.Write(call, Line);
  Out << Line;
}

}  // namespace pikrotta
