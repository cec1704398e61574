#include "gdi_canvas.h"

#include <algorithm>
#include <cmath>

#include "clipping.h"
#include "text_win32.h"

namespace pikrotta::win32 {

namespace {

// Bounds on the caches: a drawing that keeps asking for new objects (zoom after zoom gives
// fonts of new heights) must not hold GDI objects without end. Far above what one
// composition of a drawing uses, so none is made twice while drawing.
constexpr size_t kMaxCachedFonts = 256;
constexpr size_t kMaxCachedPensOrBrushes = 1024;
// Points of pending lines before they are drawn.
constexpr size_t kMaxBatchPoints = 1 << 16;
// Lines up to this far in either direction, with pens up to this wide, are stamped.
constexpr int32_t kShapeReach = 16;
constexpr int32_t kMaxShapeWidth = 8;
constexpr int32_t kShapeSide = 2 * kShapeReach + 1;

int PenStyleOf(TPenStyle style) {
  switch (style) {
    case psDash:
      return PS_DASH;
    case psDot:
      return PS_DOT;
    case psDashDot:
      return PS_DASHDOT;
    case psDashDotDot:
      return PS_DASHDOTDOT;
    case psClear:
      return PS_NULL;
    default:
      return PS_SOLID;
  }
}

int HatchOf(TBrushStyle style) {
  switch (style) {
    case bsHorizontal:
      return HS_HORIZONTAL;
    case bsVertical:
      return HS_VERTICAL;
    case bsFDiagonal:
      return HS_FDIAGONAL;
    case bsBDiagonal:
      return HS_BDIAGONAL;
    case bsCross:
      return HS_CROSS;
    default:
      return HS_DIAGCROSS;
  }
}

bool Safe(int32_t v) {
  return v >= -kGdiSafeCoordinate && v <= kGdiSafeCoordinate;
}

bool Safe(TPoint p) {
  return Safe(p.X) && Safe(p.Y);
}

int32_t Clamp(int32_t v) {
  return std::clamp(v, -kGdiSafeCoordinate, kGdiSafeCoordinate);
}

const TClipRect kSafeRect{-kGdiSafeCoordinate, -kGdiSafeCoordinate, kGdiSafeCoordinate,
                          kGdiSafeCoordinate};

// The part of a segment within the safe range; false when none of it is.
bool CutToSafe(TPoint& a, TPoint& b) {
  if (Safe(a) && Safe(b)) return true;
  double x1 = a.X, y1 = a.Y, x2 = b.X, y2 = b.Y;
  if (!CutSegmentToRect(x1, y1, x2, y2, kSafeRect)) return false;
  a = {static_cast<int32_t>(std::lround(x1)), static_cast<int32_t>(std::lround(y1))};
  b = {static_cast<int32_t>(std::lround(x2)), static_cast<int32_t>(std::lround(y2))};
  return true;
}

template <class TMap>
void Bound(TMap& cache, size_t limit, HGDIOBJ selected) {
  if (cache.size() < limit) return;
  std::erase_if(cache, [&](const auto& entry) { return entry.second.get() != selected; });
}

}  // namespace

// ---- Surface ----

TDibSurface::TDibSurface(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDc.reset(::CreateCompatibleDC(nullptr));
  if (!Bitmap || !MemoryDc || !bits) return;
  Selection = std::make_unique<TSelectGuard>(MemoryDc.get(), Bitmap.get());
  W = width;
  H = height;
  Bits = static_cast<uint32_t*>(bits);
}

TColor TDibSurface::Pixel(int32_t x, int32_t y) const {
  const uint32_t p = Row(y)[x];
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

std::wstring WindowsFaceName(std::string_view sjisFace) {
  std::string_view at;
  if (sjisFace.starts_with('@')) {
    at = sjisFace.substr(0, 1);
    sjisFace.remove_prefix(1);
  }
  if (sjisFace.size() >= 2 && sjisFace.front() == '<' && sjisFace.back() == '>')
    sjisFace = sjisFace.substr(1, sjisFace.size() - 2);
  std::wstring face = SjisToWide(std::string(at) + std::string(sjisFace));
  if (face.size() > LF_FACESIZE - 1) face.resize(LF_FACESIZE - 1);
  return face;
}

// ---- Canvas ----

TGdiCanvas::TGdiCanvas(HDC dc)
    : DrawDc(dc),
      OriginalPen(::GetCurrentObject(dc, OBJ_PEN)),
      OriginalBrush(::GetCurrentObject(dc, OBJ_BRUSH)),
      OriginalFont(::GetCurrentObject(dc, OBJ_FONT)),
      SavedState(::SaveDC(dc)) {
  ::SetPolyFillMode(DrawDc, ALTERNATE);
  ::SetTextAlign(DrawDc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

TGdiCanvas::TGdiCanvas(TDibSurface& surface) : TGdiCanvas(surface.Dc()) {
  Surface = &surface;
  Batching = true;
}

TGdiCanvas::~TGdiCanvas() {
  Flush();
  // The cached objects die with the canvas; none may still be selected then.
  ::SelectObject(DrawDc, OriginalPen);
  ::SelectObject(DrawDc, OriginalBrush);
  ::SelectObject(DrawDc, OriginalFont);
  // A borrowed DC goes back as it came: modes, colours, alignment and position.
  if (SavedState) ::RestoreDC(DrawDc, SavedState);
}

void TGdiCanvas::Select(HGDIOBJ object, HGDIOBJ& selected) {
  if (object == selected) return;
  ::SelectObject(DrawDc, object);
  selected = object;
}

void TGdiCanvas::SelectPen(const TPenKey& key) {
  if (key.Style == psClear) return Select(::GetStockObject(NULL_PEN), SelectedPen);
  auto it = Pens.find(key);
  if (it == Pens.end()) {
    Bound(Pens, kMaxCachedPensOrBrushes, SelectedPen);
    it = Pens.emplace(key, TUniquePen(::CreatePen(PenStyleOf(key.Style), key.Width, key.Color)))
             .first;
    ++PensCreated;
  }
  Select(it->second.get(), SelectedPen);
}

void TGdiCanvas::SelectBrush() {
  if (Brush.Style == bsClear) return Select(::GetStockObject(NULL_BRUSH), SelectedBrush);
  const std::pair key{Brush.Color, static_cast<int>(Brush.Style)};
  auto it = Brushes.find(key);
  if (it == Brushes.end()) {
    Bound(Brushes, kMaxCachedPensOrBrushes, SelectedBrush);
    const HBRUSH made = Brush.Style == bsSolid
                            ? ::CreateSolidBrush(Brush.Color)
                            : ::CreateHatchBrush(HatchOf(Brush.Style), Brush.Color);
    it = Brushes.emplace(key, TUniqueBrush(made)).first;
    ++BrushesCreated;
  }
  Select(it->second.get(), SelectedBrush);
}

void TGdiCanvas::SelectFont() {
  if (FontChanged) {
    TFontKey key{Font.Height,      Font.Width,     Font.Escapement,
                 Font.Orientation, Font.Weight,    Font.Italic,
                 Font.Underline,   Font.StrikeOut, WindowsFaceName(Font.FaceName)};
    auto it = Fonts.find(key);
    if (it == Fonts.end()) {
      Bound(Fonts, kMaxCachedFonts, SelectedFont);
      LOGFONTW logFont{};
      logFont.lfHeight = key.Height;
      logFont.lfWidth = key.Width;
      logFont.lfEscapement = key.Escapement;
      logFont.lfOrientation = key.Orientation;
      logFont.lfWeight = key.Weight;
      logFont.lfItalic = key.Italic;
      logFont.lfUnderline = key.Underline;
      logFont.lfStrikeOut = key.StrikeOut;
      // Every text of a drawing is Shift-JIS. The drawing asks for the default character set,
      // which on a Windows that is not Japanese maps the face to a font without Japanese
      // glyphs; the Shift-JIS set finds one on any Windows.
      logFont.lfCharSet = SHIFTJIS_CHARSET;
      key.Face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
      it = Fonts.emplace(std::move(key), TUniqueFont(::CreateFontIndirectW(&logFont))).first;
      ++FontsCreated;
    }
    Select(it->second.get(), SelectedFont);
    FontChanged = false;
  }
  if (TextColor != Font.Color) {
    ::SetTextColor(DrawDc, static_cast<COLORREF>(Font.Color));
    TextColor = Font.Color;
  }
}

// As the drawing expects of its canvas: a solid brush fills gaps (of dotted pens, of text
// cells) with its colour, any other brush leaves them transparent.
void TGdiCanvas::SetBackgroundFromBrush() {
  const int mode = Brush.Style == bsSolid ? OPAQUE : TRANSPARENT;
  if (mode != BackgroundMode) {
    ::SetBkMode(DrawDc, mode);
    BackgroundMode = mode;
  }
  if (mode == OPAQUE && static_cast<COLORREF>(Brush.Color) != BackgroundColor) {
    ::SetBkColor(DrawDc, static_cast<COLORREF>(Brush.Color));
    BackgroundColor = static_cast<COLORREF>(Brush.Color);
  }
}

void TGdiCanvas::PrepareLines(bool fill) {
  SelectPen({Pen.Color, std::max(Pen.Width, 1), Pen.Style});
  if (fill) SelectBrush();
  const int rop2 = Pen.Mode == pmXor ? R2_XORPEN : R2_COPYPEN;
  if (rop2 != Rop2) {
    ::SetROP2(DrawDc, rop2);
    Rop2 = rop2;
  }
  SetBackgroundFromBrush();
}

void TGdiCanvas::MoveTo(int32_t x, int32_t y) {
  Current = {x, y};
  DcAtCurrent = false;
}

void TGdiCanvas::LineTo(int32_t x, int32_t y) {
  if (Batching && Pen.Mode == pmCopy && Pen.Style == psSolid) {
    // GDI draws nothing for a one-pixel line that ends where it starts, and the chords of a
    // small curve often do.
    if (Pen.Width > 1 || x != Current.X || y != Current.Y) BatchLineTo(x, y);
  } else {
    PlainLineTo(x, y);
  }
  Current = {x, y};
}

void TGdiCanvas::PlainLineTo(int32_t x, int32_t y) {
  Flush();
  PrepareLines(false);
  TPoint a = Current, b{x, y};
  if (!Safe(a) || !Safe(b)) {
    DcAtCurrent = false;
    if (CutToSafe(a, b)) {
      ::MoveToEx(DrawDc, a.X, a.Y, nullptr);
      ::LineTo(DrawDc, b.X, b.Y);
    }
  } else {
    if (!DcAtCurrent) ::MoveToEx(DrawDc, a.X, a.Y, nullptr);
    ::LineTo(DrawDc, x, y);
    DcAtCurrent = true;
  }
  GdiPending = true;
}

void TGdiCanvas::BatchLineTo(int32_t x, int32_t y) {
  LastPixelKnown = false;
  const int32_t width = std::max(Pen.Width, 1);
  const TPoint a = Current;
  const int32_t dx = x - a.X, dy = y - a.Y;
  if (width <= kMaxShapeWidth && std::abs(dx) <= kShapeReach && std::abs(dy) <= kShapeReach) {
    // Pending lines of the same colour may cover these pixels too: the same result.
    if (!BatchCounts.empty() && Pen.Color != BatchPen.Color) Flush();
    WritePixels(a, LineShape(width, dx, dy), Pen.Color);
    DcAtCurrent = false;
    return;
  }
  // GDI draws the lines of one call with a wider pen as one region, and merging thousands of
  // lines into a region costs far more than drawing them one by one.
  if (width > 1) return PlainLineTo(x, y);
  const TPenKey key{Pen.Color, 1, psSolid};
  if (!BatchCounts.empty() && !(key == BatchPen)) Flush();
  BatchPen = key;
  DcAtCurrent = false;
  TPoint start = a, end{x, y};
  if (!CutToSafe(start, end)) return;
  // Lines that join end to start draw the same pixels as one polyline.
  if (!BatchCounts.empty() && BatchPoints.back().x == start.X && BatchPoints.back().y == start.Y) {
    BatchPoints.push_back({end.X, end.Y});
    ++BatchCounts.back();
  } else {
    BatchPoints.push_back({start.X, start.Y});
    BatchPoints.push_back({end.X, end.Y});
    BatchCounts.push_back(2);
  }
  if (BatchPoints.size() >= kMaxBatchPoints) Flush();
}

const std::vector<TPoint>& TGdiCanvas::LineShape(int32_t width, int32_t dx, int32_t dy) {
  if (LineShapes.empty()) LineShapes.resize(size_t{kMaxShapeWidth} * kShapeSide * kShapeSide);
  std::vector<TPoint>& shape =
      LineShapes[(static_cast<size_t>(width - 1) * kShapeSide + (dy + kShapeReach)) * kShapeSide +
                 (dx + kShapeReach)];
  if (!shape.empty() || (dx == 0 && dy == 0 && width == 1)) return shape;
  // Drawn once by GDI on a white scratch surface; what turned black is the shape.
  constexpr int32_t kCentre = kShapeReach + kMaxShapeWidth;
  if (!ShapeScratch) ShapeScratch = std::make_unique<TDibSurface>(2 * kCentre + 1, 2 * kCentre + 1);
  TDibSurface& scratch = *ShapeScratch;
  HDC dc = scratch.Dc();
  ::PatBlt(dc, 0, 0, scratch.Width(), scratch.Height(), WHITENESS);
  const TUniquePen pen(::CreatePen(PS_SOLID, width, 0));
  const TSelectGuard selected(dc, pen.get());
  ::SetROP2(dc, R2_COPYPEN);
  ::MoveToEx(dc, kCentre, kCentre, nullptr);
  ::LineTo(dc, kCentre + dx, kCentre + dy);
  ::GdiFlush();
  for (int32_t py = 0; py < scratch.Height(); ++py)
    for (int32_t px = 0; px < scratch.Width(); ++px)
      if (scratch.Pixel(px, py) != 0xFFFFFF) shape.push_back({px - kCentre, py - kCentre});
  return shape;
}

void TGdiCanvas::Flush() {
  LastPixelKnown = false;
  if (BatchCounts.empty()) return;
  SelectPen(BatchPen);
  if (Rop2 != R2_COPYPEN) {
    ::SetROP2(DrawDc, R2_COPYPEN);
    Rop2 = R2_COPYPEN;
  }
  ::PolyPolyline(DrawDc, BatchPoints.data(), BatchCounts.data(),
                 static_cast<DWORD>(BatchCounts.size()));
  BatchPoints.clear();
  BatchCounts.clear();
  GdiPending = true;
}

void TGdiCanvas::WritePixels(TPoint origin, std::span<const TPoint> offsets, TColor color) {
  if (GdiPending) {
    ::GdiFlush();  // GDI may still be drawing into the memory
    GdiPending = false;
  }
  const uint32_t pixel = TDibSurface::ToPixel(color);
  const auto w = static_cast<uint32_t>(Surface->Width()),
             h = static_cast<uint32_t>(Surface->Height());
  uint32_t* bits = Surface->Row(0);
  for (const TPoint& p : offsets) {
    // Negative coordinates wrap to large ones and are left out with those beyond the edge.
    const auto x = static_cast<uint32_t>(origin.X + p.X), y = static_cast<uint32_t>(origin.Y + p.Y);
    if (x < w && y < h) bits[y * w + x] = pixel;
  }
}

void TGdiCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  // Pending lines of the same colour may cover the pixel before or after it: the same result.
  if (!BatchCounts.empty() && color != BatchPen.Color) Flush();
  static constexpr TPoint kHere[1] = {{0, 0}};
  if (Batching) {
    // The end pixel of a chord is set again by the next chord when that one draws nothing.
    if (LastPixelKnown && LastPixel == TPoint{x, y} && LastPixelColor == color) return;
    WritePixels({x, y}, kHere, color);
    LastPixelKnown = true;
    LastPixel = {x, y};
    LastPixelColor = color;
    return;
  }
  if (!Safe(x) || !Safe(y)) return;
  ::SetPixel(DrawDc, x, y, static_cast<COLORREF>(color));
  GdiPending = true;
}

void TGdiCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Flush();
  PrepareLines(true);
  // Edges beyond the safe range are outside every view: moving them in changes nothing seen.
  ::Rectangle(DrawDc, Clamp(x1), Clamp(y1), Clamp(x2), Clamp(y2));
  GdiPending = true;
}

void TGdiCanvas::DrawPoints(std::span<const TPoint> points, bool closed) {
  Flush();
  PrepareLines(closed);
  std::vector<POINT> gdi;
  gdi.reserve(points.size());
  if (std::all_of(points.begin(), points.end(), [](TPoint p) { return Safe(p); })) {
    for (const TPoint& p : points) gdi.push_back({p.X, p.Y});
  } else if (closed) {
    // The polygon cut to the safe range covers the same pixels within it.
    std::vector<TWorldPoint> world, cut;
    for (const TPoint& p : points) world.push_back({double(p.X), double(p.Y)});
    CutPolygonToRect(world, kSafeRect, cut);
    for (const TWorldPoint& p : cut)
      gdi.push_back({static_cast<LONG>(std::lround(p.X)), static_cast<LONG>(std::lround(p.Y))});
  } else {
    for (size_t i = 1; i < points.size(); ++i) {
      TPoint a = points[i - 1], b = points[i];
      if (CutToSafe(a, b)) {
        const POINT segment[2] = {{a.X, a.Y}, {b.X, b.Y}};
        ::Polyline(DrawDc, segment, 2);
      }
    }
    GdiPending = true;
    return;
  }
  if (closed)
    ::Polygon(DrawDc, gdi.data(), static_cast<int>(gdi.size()));
  else
    ::Polyline(DrawDc, gdi.data(), static_cast<int>(gdi.size()));
  GdiPending = true;
}

void TGdiCanvas::Polyline(std::span<const TPoint> points) {
  DrawPoints(points, false);
}

void TGdiCanvas::Polygon(std::span<const TPoint> points) {
  DrawPoints(points, true);
}

void TGdiCanvas::SetFont(const TFontDesc& font) {
  // The colour is the text colour, not part of the GDI font.
  TFontDesc same = font;
  same.Color = Font.Color;
  FontChanged = FontChanged || !(same == Font);
  Font = font;
}

void TGdiCanvas::TextOut(int32_t x, int32_t y, std::string_view sjis) {
  if (!Safe(x) || !Safe(y)) return;  // a character cell is far smaller than the distance
  Flush();
  SelectFont();
  SetBackgroundFromBrush();
  Text = SjisToWide(sjis);
  ::TextOutW(DrawDc, x, y, Text.data(), static_cast<int>(Text.size()));
  GdiPending = true;
}

std::unique_ptr<TBitmap> TGdiCanvas::CopyToBitmap(int32_t width, int32_t height) {
  Flush();
  auto bitmap = std::make_unique<TGdiBitmap>(width, height);
  if (!bitmap->Surface.Valid() ||
      !::BitBlt(bitmap->Surface.Dc(), 0, 0, width, height, DrawDc, 0, 0, SRCCOPY))
    return nullptr;
  GdiPending = true;
  return bitmap;
}

void TGdiCanvas::BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) {
  Flush();
  // Only a copy of this kind of canvas has pixels; another canvas's bitmap has none here.
  const auto* source = dynamic_cast<const TGdiBitmap*>(&bitmap);
  if (!source) return;
  ::BitBlt(DrawDc, Clamp(x), Clamp(y), source->Width(), source->Height(), source->Surface.Dc(), 0,
           0, SRCCOPY);
  GdiPending = true;
}

}  // namespace pikrotta::win32
