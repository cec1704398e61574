// The GDI canvas drawn into a DIB section and read back pixel by pixel: what GDI makes of each
// call, and that the batched path gives exactly the pixels of the plain one.
#include "gdi_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "drawing_fixture.h"
#include "gra.h"
#include "window_texts.h"

namespace pikrotta::win32 {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0;

// A white surface with a canvas on it.
struct TSheet {
  explicit TSheet(int32_t w = 64, int32_t h = 64, bool batching = true) : Surface(w, h) {
    Canvas.Batching = batching;
    Canvas.Pen = {kWhite, 1, psSolid, pmCopy};
    Canvas.Brush = {kWhite, bsSolid};
    Canvas.Rectangle(-1, -1, w + 1, h + 1);
    Canvas.Pen.Color = kBlack;
    Canvas.Brush.Style = bsClear;
  }
  TColor At(int32_t x, int32_t y) {
    Canvas.Flush();
    ::GdiFlush();
    return Surface.Pixel(x, y);
  }
  int32_t Ink(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {  // non-white pixels in a box
    int32_t n = 0;
    for (int32_t y = y1; y < y2; ++y)
      for (int32_t x = x1; x < x2; ++x) n += At(x, y) != kWhite;
    return n;
  }
  // The box around every non-white pixel: left, top, right, bottom (exclusive).
  RECT InkBox() {
    RECT box{Surface.Width(), Surface.Height(), 0, 0};
    for (int32_t y = 0; y < Surface.Height(); ++y)
      for (int32_t x = 0; x < Surface.Width(); ++x)
        if (At(x, y) != kWhite) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }
  bool SamePixels(const TSheet& other) const {
    ::GdiFlush();
    return std::memcmp(Surface.Row(0), other.Surface.Row(0),
                       sizeof(uint32_t) * Surface.Width() * Surface.Height()) == 0;
  }
  TDibSurface Surface;
  TGdiCanvas Canvas{Surface};
};

TEST(GdiCanvas, LineToLeavesOutTheEndPixel) {
  for (bool batching : {false, true}) {
    TSheet s(64, 64, batching);
    s.Canvas.MoveTo(5, 10);
    s.Canvas.LineTo(20, 10);
    EXPECT_EQ(s.At(5, 10), kBlack) << batching;
    EXPECT_EQ(s.At(19, 10), kBlack) << batching;
    EXPECT_EQ(s.At(20, 10), kWhite) << batching;
    EXPECT_EQ(s.Ink(0, 0, 64, 64), 15) << batching;
  }
}

TEST(GdiCanvas, DottedPenLeavesGaps) {
  TSheet s;
  s.Canvas.Pen.Style = psDot;
  s.Canvas.MoveTo(0, 30);
  s.Canvas.LineTo(60, 30);
  const int32_t ink = s.Ink(0, 30, 60, 31);
  EXPECT_GT(ink, 10);
  EXPECT_LT(ink, 50);  // gaps, and they show the white below (transparent)
}

TEST(GdiCanvas, BackwardDiagonalHatchFillsRisingLines) {
  TSheet s;
  s.Canvas.Brush = {kBlack, bsBDiagonal};
  s.Canvas.Pen.Style = psClear;
  s.Canvas.Rectangle(0, 0, 64, 64);
  int32_t hatched = 0;
  for (int32_t y = 8; y < 56; ++y)
    for (int32_t x = 8; x < 56; ++x)
      if (s.At(x, y) == kBlack) {
        ++hatched;
        EXPECT_EQ(s.At(x + 1, y - 1), kBlack) << x << "," << y;  // "/": up to the right
        EXPECT_EQ(s.At(x + 1, y), kWhite) << x << "," << y;      // gaps between the lines
      }
  EXPECT_GT(hatched, 48 * 48 / 16);
}

TEST(GdiCanvas, XorRectangleDrawnTwiceRestoresThePixels) {
  TSheet s;
  s.Canvas.Brush = {MakeColor(200, 30, 60), bsSolid};
  s.Canvas.Rectangle(10, 10, 40, 40);
  TSheet before;
  std::memcpy(before.Surface.Row(0), s.Surface.Row(0), 64 * 64 * 4);
  s.Canvas.Brush.Style = bsClear;
  s.Canvas.Pen = {MakeColor(0, 255, 255), 3, psSolid, pmXor};
  for (int i = 0; i < 2; ++i) {
    s.Canvas.Rectangle(5, 5, 50, 30);
    if (i == 0) {
      EXPECT_FALSE(s.SamePixels(before));
    }
  }
  EXPECT_TRUE(s.SamePixels(before));
}

// A face that Windows knows only as a Japanese font, on any language setting.
TFontDesc JapaneseFont(int32_t height, int32_t escapement, const char* face) {
  TFontDesc font;
  font.Height = height;
  font.Escapement = escapement;
  font.Weight = 400;
  font.CharSet = 1;
  font.FaceName = face;
  return font;
}

TEST(GdiCanvas, JapaneseCharacterDrawsInk) {
  TSheet s;
  s.Canvas.SetFont(JapaneseFont(40, 0, "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>"));
  s.Canvas.TextOut(10, 10, "\x90\x7d");  // 図
  EXPECT_GT(s.Ink(10, 10, 50, 50), 60);
}

TEST(GdiCanvas, EscapementOf900DrawsUpward) {
  TSheet s(64, 128);
  s.Canvas.SetFont(JapaneseFont(24, 900, texts::kWindowFontName));
  s.Canvas.TextOut(10, 110, "\x88\xea\x88\xea\x88\xea");  // 一一一
  const RECT box = s.InkBox();
  EXPECT_LT(box.bottom, 111);                                   // all above the start point
  EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left));  // a column, not a row
}

// Vertical text: the "@" face turns each character back upright when the line runs down.
// 一 is a horizontal stroke; turned with the line it would stand vertical.
TEST(GdiCanvas, VerticalFaceKeepsCharactersUpright) {
  auto stroke = [](const char* face) {
    TSheet s;
    s.Canvas.SetFont(JapaneseFont(40, 2700, face));
    s.Canvas.TextOut(40, 10, "\x88\xea");  // 一
    return s.InkBox();
  };
  const RECT turned = stroke("\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");
  const RECT upright = stroke("@<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>");
  EXPECT_GT(turned.bottom - turned.top, turned.right - turned.left);
  EXPECT_GT(upright.right - upright.left, upright.bottom - upright.top);
}

TEST(GdiCanvas, WindowsFaceNames) {
  EXPECT_EQ(WindowsFaceName("<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>"),
            L"ＭＳ ゴシック");
  EXPECT_EQ(WindowsFaceName("@<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>"), L"@ＭＳ 明朝");
  EXPECT_EQ(WindowsFaceName("Arial"), L"Arial");
  EXPECT_EQ(WindowsFaceName("<>"), L"");
  EXPECT_EQ(WindowsFaceName("<Arial"), L"<Arial");
  EXPECT_EQ(WindowsFaceName(std::string(40, 'a')).size(), 31u);
}

// Ends far beyond the paint area: GDI under Wine draws such lines wrongly, so the canvas cuts
// them. What shows must be the part of the line within the surface.
TEST(GdiCanvas, FarOffCoordinatesDrawWhatIsVisible) {
  for (bool batching : {false, true}) {
    TSheet s(64, 64, batching);
    s.Canvas.MoveTo(5, 20);
    s.Canvas.LineTo(1 << 30, 20);
    s.Canvas.MoveTo(-(1 << 30), -(1 << 30));
    s.Canvas.LineTo(1 << 30, 1 << 30);
    for (int32_t x = 5; x < 64; ++x) EXPECT_EQ(s.At(x, 20), kBlack) << x << " " << batching;
    for (int32_t i = 0; i < 64; ++i) EXPECT_EQ(s.At(i, i), kBlack) << i << " " << batching;
    EXPECT_EQ(s.Ink(0, 0, 64, 64), 59 + 63);  // the crossing pixel counts once
  }
  TSheet s;
  s.Canvas.Brush = {kBlack, bsSolid};
  const TPoint triangle[] = {{10, 0}, {10, 63}, {1 << 30, 31}};
  s.Canvas.Polygon(triangle);
  for (int32_t x = 10; x < 64; ++x) EXPECT_EQ(s.At(x, 31), kBlack) << x;
  EXPECT_EQ(s.At(9, 31), kWhite);
}

TEST(GdiCanvas, BitmapsCopyAndDrawBack) {
  TSheet s;
  s.Canvas.Brush = {MakeColor(1, 2, 3), bsSolid};
  s.Canvas.Rectangle(0, 0, 8, 8);
  const std::unique_ptr<TBitmap> copy = s.Canvas.CopyToBitmap(16, 16);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(s.Canvas.CopyToBitmap(0, 10), nullptr);  // no bitmap of no size
  s.Canvas.BitBlt(30, 40, *copy);
  EXPECT_EQ(s.At(31, 41), MakeColor(1, 2, 3));
  EXPECT_EQ(s.At(39, 41), kWhite);
}

TEST(GdiCanvas, ABitmapOfAnotherCanvasDrawsNothing) {
  TSheet s;
  s.Canvas.BitBlt(0, 0, TSizeOnlyBitmap(16, 16));
  EXPECT_EQ(s.Ink(0, 0, 64, 64), 0);
}

// A DC lent to a canvas (a window's, a printer's) comes back in the state it was lent in.
TEST(GdiCanvas, ABorrowedDcGetsItsStateBack) {
  TDibSurface surface(32, 32);
  const HDC dc = surface.Dc();
  ::SetROP2(dc, R2_NOT);
  ::SetBkMode(dc, OPAQUE);
  ::SetBkColor(dc, RGB(1, 2, 3));
  ::SetTextColor(dc, RGB(4, 5, 6));
  ::SetTextAlign(dc, TA_BASELINE | TA_RIGHT);
  ::SetPolyFillMode(dc, WINDING);
  ::MoveToEx(dc, 7, 8, nullptr);
  const HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN);
  {
    TGdiCanvas canvas(dc);
    canvas.Pen = {MakeColor(200, 0, 0), 2, psDot, pmXor};
    canvas.Brush = {MakeColor(0, 200, 0), bsBDiagonal};
    canvas.MoveTo(1, 1);
    canvas.LineTo(20, 20);
    canvas.Polygon(std::vector<TPoint>{{0, 0}, {10, 0}, {0, 10}});
    TFontDesc font;
    font.Height = 12;
    font.Escapement = font.Orientation = 900;
    font.FaceName = texts::kWindowFontName;
    font.Color = MakeColor(0, 0, 200);
    canvas.SetFont(font);
    canvas.TextOut(5, 5, "A");
  }
  POINT at{};
  ::GetCurrentPositionEx(dc, &at);
  EXPECT_EQ(::GetROP2(dc), R2_NOT);
  EXPECT_EQ(::GetBkMode(dc), OPAQUE);
  EXPECT_EQ(::GetBkColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(::GetTextColor(dc), RGB(4, 5, 6));
  EXPECT_EQ(::GetTextAlign(dc), static_cast<UINT>(TA_BASELINE | TA_RIGHT));
  EXPECT_EQ(::GetPolyFillMode(dc), WINDING);
  EXPECT_EQ(at.x, 7);
  EXPECT_EQ(at.y, 8);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
}

// A long black line waits in the batch while a short red one crossing it is stamped: where
// they cross, the later colour shows, as call by call.
TEST(GdiCanvas, AColourChangeBeforeStampingKeepsTheOrderOfDrawing) {
  TSheet plain(64, 64, false), batched(64, 64, true);
  for (TSheet* sheet : {&plain, &batched}) {
    TGdiCanvas& c = sheet->Canvas;
    c.Pen = {kBlack, 1, psSolid, pmCopy};
    c.MoveTo(0, 30);
    c.LineTo(60, 30);
    c.Pen.Color = MakeColor(255, 0, 0);
    c.MoveTo(30, 29);
    c.LineTo(30, 32);
    c.Pen.Color = kBlack;
    c.MoveTo(29, 28);
    c.LineTo(31, 28);
    sheet->Canvas.Flush();
  }
  EXPECT_EQ(batched.At(30, 30), MakeColor(255, 0, 0));
  EXPECT_TRUE(plain.SamePixels(batched));
}

// The chords of a small curve: many end where they start, and their end pixel is set again
// and again. Between two such settings, a waiting line, a stamped one and a fill of another
// colour cover the pixel; the later colour shows each time, as call by call.
TEST(GdiCanvas, APixelSetAgainAfterOtherDrawingShowsAgain) {
  const TColor red = MakeColor(255, 0, 0), blue = MakeColor(0, 0, 255);
  TSheet plain(64, 64, false), batched(64, 64, true);
  for (TSheet* sheet : {&plain, &batched}) {
    TGdiCanvas& c = sheet->Canvas;
    auto chordTo = [&](int32_t x, int32_t y, TColor color) {
      c.Pen = {color, 0, psSolid, pmCopy};
      c.MoveTo(x, y);
      c.LineTo(x, y);
      c.SetPixel(x, y, color);
    };
    chordTo(10, 30, red);
    chordTo(10, 30, red);
    c.Pen = {blue, 1, psSolid, pmCopy};
    c.MoveTo(0, 30);
    c.LineTo(60, 30);  // long: waits in the batch
    chordTo(10, 30, red);
    c.Pen = {blue, 1, psSolid, pmCopy};
    c.MoveTo(10, 28);
    c.LineTo(10, 33);  // short: stamped
    chordTo(10, 30, red);
    chordTo(20, 30, red);
    c.Pen = {blue, 1, psSolid, pmCopy};
    c.Brush = {blue, bsSolid};
    c.Rectangle(15, 25, 25, 35);
    c.Brush.Style = bsClear;
    chordTo(20, 30, red);
    chordTo(40, 30, red);
    c.Pen = {blue, 3, psSolid, pmCopy};
    c.MoveTo(40, 30);
    c.LineTo(40, 30);  // a wide pen draws a dot even where the line ends where it starts
    chordTo(40, 31, red);
    chordTo(40, 31, red);
    c.Flush();
  }
  EXPECT_EQ(batched.At(10, 30), red);
  EXPECT_EQ(batched.At(20, 30), red);
  EXPECT_EQ(batched.At(21, 30), blue);
  EXPECT_TRUE(plain.SamePixels(batched));
}

// The drawing pass composed twice, batched and call by call: the same pixels, and every font
// of a composition made once only.
void ExpectBatchingKeepsPixels(const TJwwGaibu& model, int32_t w, int32_t h, double zoom) {
  test::TFittedDrawer drawer(model, w, h, zoom);
  TGra& gra = *drawer.Gra;
  const TView& view = drawer.View;
  TSheet plain(w, h, false), batched(w, h, true);
  for (TSheet* sheet : {&plain, &batched}) {
    gra.ClearPaintArea(sheet->Canvas, w, h);
    gra.DrawAllEntities(sheet->Canvas);
    gra.MarkImageRefs(sheet->Canvas, 10 / view.ViewScale);
    sheet->Canvas.Flush();
  }
  EXPECT_TRUE(plain.SamePixels(batched)) << "zoom " << zoom;
  const int64_t fonts = batched.Canvas.FontsCreated;
  gra.DrawAllEntities(batched.Canvas);
  EXPECT_EQ(batched.Canvas.FontsCreated, fonts);
}

TEST(GdiCanvas, BatchedDemoHasThePixelsOfThePlainPath) {
  const TJwwGaibu& demo = test::DemoDrawing();
  for (double zoom : {1.0, 2.5, 9.0}) ExpectBatchingKeepsPixels(demo, 800, 600, zoom);
}

TEST(GdiCanvas, BatchedGeneratedDrawingHasThePixelsOfThePlainPath) {
  const TJwwGaibu& drawing = test::GeneratedDrawing(20000);
  for (double zoom : {1.0, 4.0, 6.0}) ExpectBatchingKeepsPixels(drawing, 640, 480, zoom);
  ExpectBatchingKeepsPixels(drawing, 120, 90, 1.0);  // a small window: everything tiny
}

}  // namespace
}  // namespace pikrotta::win32
