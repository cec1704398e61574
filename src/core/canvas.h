// The drawing surface the core draws on: a GDI-like canvas whose pen, brush and font persist
// between calls. The drawing code relies on that persistence (it sets a pen once and draws
// many figures with it), so the state is plain data here and every adapter realises it when
// a drawing call comes: GDI on Windows, a recorder in tests and the command line.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// <windows.h> makes TextOut a macro (TextOutW), which would give this class another member
// name in the files that include it. Windows code includes it only through windows_api.h,
// which takes the macro back; this stops a file that does otherwise.
#ifdef TextOut
#error "include windows_api.h rather than <windows.h>"
#endif

namespace pikrotta {

// A Windows colour value: red in the low byte, then green, then blue (0x00BBGGRR).
using TColor = int32_t;

// Named apart from the Windows RGB macro, which would swallow it.
constexpr TColor MakeColor(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

enum TPenStyle : int32_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TPenMode : int32_t { pmCopy, pmXor };
enum TBrushStyle : int32_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross,
};

struct TPen {
  TColor Color = 0;
  int32_t Width = 1;  // pixels; 0 is one pixel, as in GDI
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  bool operator==(const TPen&) const = default;
};

struct TBrush {
  TColor Color = 0xFFFFFF;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrush&) const = default;
};

// What a LOGFONT holds of a font, and the colour text is drawn in; the face name is
// Shift-JIS bytes.
struct TFontDesc {
  int32_t Height = 0;
  int32_t Width = 0;
  int32_t Escapement = 0;  // tenths of a degree, counter-clockwise
  int32_t Orientation = 0;
  int32_t Weight = 0;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint8_t CharSet = 0;
  std::string FaceName;
  TColor Color = 0;
  bool operator==(const TFontDesc&) const = default;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TPoint&) const = default;
};

// A copy of canvas pixels, made by TCanvas::CopyToBitmap and drawn back by BitBlt.
class TBitmap {
 public:
  virtual ~TBitmap() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
};

// A bitmap that keeps no pixels, only its size: for canvases that have none to copy (the
// report's, or one that draws nothing).
class TSizeOnlyBitmap : public TBitmap {
 public:
  TSizeOnlyBitmap(int32_t width, int32_t height) : W(width), H(height) {}
  int32_t Width() const override { return W; }
  int32_t Height() const override { return H; }

 private:
  int32_t W, H;
};

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  // False for a canvas that keeps nothing of what is drawn on it (a search without a screen):
  // what only shows, such as the search's red circles, need not be drawn there.
  virtual bool KeepsPixels() const { return true; }

  TPen Pen;
  TBrush Brush;

  virtual void MoveTo(int32_t x, int32_t y) = 0;
  // Draws from the current position to (x, y), leaving out the end pixel, as GDI does.
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual void SetPixel(int32_t x, int32_t y, TColor color) = 0;
  // Outline in the pen, inside in the brush; the right and bottom edges are exclusive.
  virtual void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void Polyline(std::span<const TPoint> points) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;
  // Makes the font of later TextOut calls.
  virtual void SetFont(const TFontDesc& font) = 0;
  // Draws Shift-JIS text with the current font at its reference point.
  virtual void TextOut(int32_t x, int32_t y, std::string_view sjis) = 0;
  // A copy of the pixels from (0, 0) to (width, height); null when it cannot be made.
  virtual std::unique_ptr<TBitmap> CopyToBitmap(int32_t width, int32_t height) = 0;
  // Copies the bitmap's pixels to (x, y).
  virtual void BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) = 0;
  // Draws a picture stretched over the rectangle; the right and bottom edges are exclusive.
  // Only a canvas that shows linked pictures (the report's) draws them.
  virtual void StretchDraw(int32_t /*x1*/, int32_t /*y1*/, int32_t /*x2*/, int32_t /*y2*/,
                           const TBitmap& /*picture*/) {}
};

}  // namespace pikrotta
