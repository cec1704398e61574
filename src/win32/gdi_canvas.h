// The canvas in plain GDI. Pen, brush and font of TCanvas become cached GDI objects selected
// only when they change, since creating them costs far more than drawing with them. On a DIB
// surface, solid lines in copy mode do not go to GDI one by one: short ones are stamped into
// the surface's memory from the pixels GDI itself drew for a line of the same pen and extent,
// longer one-pixel ones are handed to GDI in one PolyPolyline, and single pixels are written
// directly. The pixels are exactly those of drawing call by call, which stays the path for
// every other DC, dotted pens and XOR.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "win32_handles.h"

namespace pikrotta::win32 {

// A 32-bit top-down DIB section selected into a memory DC of its own: pixels that GDI draws
// into and that can be read and written directly.
class TDibSurface {
 public:
  TDibSurface(int32_t width, int32_t height);
  TDibSurface(const TDibSurface&) = delete;
  TDibSurface& operator=(const TDibSurface&) = delete;

  bool Valid() const { return Bits != nullptr; }
  HDC Dc() const { return MemoryDc.get(); }
  int32_t Width() const { return W; }
  int32_t Height() const { return H; }
  // Pixels as 0x00RRGGBB, row by row from the top; GdiFlush before reading what GDI drew.
  uint32_t* Row(int32_t y) const { return Bits + static_cast<size_t>(y) * static_cast<size_t>(W); }
  // The pixel as a Windows colour value (0x00BBGGRR).
  TColor Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor color) { Row(y)[x] = ToPixel(color); }
  static uint32_t ToPixel(TColor color) {
    const auto c = static_cast<uint32_t>(color);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }

 private:
  int32_t W = 0;
  int32_t H = 0;
  uint32_t* Bits = nullptr;
  TUniqueMemoryDc MemoryDc;
  TUniqueBitmap Bitmap;
  std::unique_ptr<TSelectGuard> Selection;  // goes first: the bitmap is deselected before it dies
};

class TGdiBitmap : public TBitmap {
 public:
  TGdiBitmap(int32_t width, int32_t height) : Surface(width, height) {}
  int32_t Width() const override { return Surface.Width(); }
  int32_t Height() const override { return Surface.Height(); }
  TDibSurface Surface;
};

// The face name GDI is asked for. Jw_cad writes faces in its own notation, "<ＭＳ ゴシック>",
// which no Windows font is called; the font is the name within the brackets, with the "@" of
// vertical text kept in front.
std::wstring WindowsFaceName(std::string_view sjisFace);

// Coordinates GDI draws exactly: under Wine, lines whose ends lie beyond about 2^27 pixels
// come out wrong. The canvas cuts what goes beyond this to it, which changes nothing visible.
constexpr int32_t kGdiSafeCoordinate = 1 << 26;

class TGdiCanvas : public TCanvas {
 public:
  // Draws on any DC, call by call.
  explicit TGdiCanvas(HDC dc);
  // Draws on a surface, with batching.
  explicit TGdiCanvas(TDibSurface& surface);
  ~TGdiCanvas() override;
  TGdiCanvas(const TGdiCanvas&) = delete;
  TGdiCanvas& operator=(const TGdiCanvas&) = delete;

  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void SetPixel(int32_t x, int32_t y, TColor color) override;
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void SetFont(const TFontDesc& font) override;
  void TextOut(int32_t x, int32_t y, std::string_view sjis) override;
  std::unique_ptr<TBitmap> CopyToBitmap(int32_t width, int32_t height) override;
  void BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) override;

  // Draws what is batched; before the DC or the surface is used otherwise.
  void Flush();

  HDC Dc() const { return DrawDc; }
  // False: every call goes to GDI as it comes, as on a DC that is not a surface.
  bool Batching = false;
  // GDI objects made so far; the caches keep them for the canvas's life (within bounds).
  int64_t FontsCreated = 0;
  int64_t PensCreated = 0;
  int64_t BrushesCreated = 0;

 private:
  struct TPenKey {
    TColor Color;
    int32_t Width;
    TPenStyle Style;
    auto operator<=>(const TPenKey&) const = default;
  };
  struct TFontKey {
    int32_t Height, Width, Escapement, Orientation, Weight;
    bool Italic, Underline, StrikeOut;
    std::wstring Face;
    auto operator<=>(const TFontKey&) const = default;
  };

  void SelectPen(const TPenKey& key);
  void SelectBrush();
  void SelectFont();
  void Select(HGDIOBJ object, HGDIOBJ& selected);
  // The pen, its mode and the background mode that the brush implies, for lines and fills.
  void PrepareLines(bool fill);
  void SetBackgroundFromBrush();
  void PlainLineTo(int32_t x, int32_t y);
  void BatchLineTo(int32_t x, int32_t y);
  // The pixels GDI draws for a line from (0, 0) to (dx, dy) with a solid pen of that width.
  const std::vector<TPoint>& LineShape(int32_t width, int32_t dx, int32_t dy);
  // Writes pixels of one colour straight into the surface, those outside it left out.
  void WritePixels(TPoint origin, std::span<const TPoint> offsets, TColor color);
  void DrawPoints(std::span<const TPoint> points, bool closed);

  HDC DrawDc;
  TDibSurface* Surface = nullptr;

  std::map<TPenKey, TUniquePen> Pens;
  std::map<std::pair<TColor, int>, TUniqueBrush> Brushes;
  std::map<TFontKey, TUniqueFont> Fonts;
  HGDIOBJ OriginalPen, OriginalBrush, OriginalFont;
  int SavedState;  // of the DC when the canvas took it; 0 when it could not be saved
  HGDIOBJ SelectedPen = nullptr, SelectedBrush = nullptr, SelectedFont = nullptr;
  int Rop2 = 0, BackgroundMode = 0, TextColor = -1;
  COLORREF BackgroundColor = CLR_INVALID;

  TFontDesc Font;
  bool FontChanged = true;
  std::wstring Text;  // the character being drawn, kept to avoid an allocation per call

  TPoint Current;
  // The pixel the last SetPixel wrote, while nothing else has drawn since.
  bool LastPixelKnown = false;
  TPoint LastPixel;
  TColor LastPixelColor = 0;
  bool DcAtCurrent = false;  // the DC's own current position is Current
  bool GdiPending = false;   // GDI drew since the last GdiFlush

  // Shapes of short lines, learned from GDI on first use: [width - 1][dy][dx] around the centre.
  std::vector<std::vector<TPoint>> LineShapes;
  std::unique_ptr<TDibSurface> ShapeScratch;

  // Pending runs of one solid one-pixel pen in copy mode: polylines of PolyPolyline.
  TPenKey BatchPen{};
  std::vector<POINT> BatchPoints;
  std::vector<DWORD> BatchCounts;
};

}  // namespace pikrotta::win32
