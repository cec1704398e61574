// A canvas that writes SVG, so that the very drawing pass of the window draws the picture of a
// report. Pixel coordinates are written as the pass gives them; the whole picture is moved by
// half a pixel so that one-pixel lines fall on pixels as GDI draws them.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>

#include "canvas.h"

namespace pikrotta {

// A picture the report embeds: a PNG as a data address, with its size in pixels.
class TSvgPicture : public TBitmap {
 public:
  TSvgPicture(std::string dataAddress, int32_t width, int32_t height)
      : DataAddress(std::move(dataAddress)), W(width), H(height) {}
  int32_t Width() const override { return W; }
  int32_t Height() const override { return H; }
  const std::string DataAddress;

 private:
  int32_t W, H;
};

class TSvgCanvas : public TCanvas {
 public:
  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void SetPixel(int32_t x, int32_t y, TColor color) override;
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void SetFont(const TFontDesc& font) override { Font = font; }
  void TextOut(int32_t x, int32_t y, std::string_view sjis) override;
  // A report keeps no copies of pixels: the bitmap is a stand-in and BitBlt draws nothing.
  std::unique_ptr<TBitmap> CopyToBitmap(int32_t width, int32_t height) override;
  void BitBlt(int32_t x, int32_t y, const TBitmap& bitmap) override;
  // An <image> of a TSvgPicture over the pixels of the rectangle; other bitmaps draw nothing.
  void StretchDraw(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TBitmap& picture) override;

  // The whole document: an <svg> element of width x height pixels with its pattern and font
  // definitions and everything drawn so far. XOR mode is not realised: a report shows no
  // rubber band, and everything it draws uses the copy mode.
  std::string Svg(int32_t width, int32_t height);
  // The same appended to out, without a copy of its own: a picture of a large drawing is tens
  // of megabytes.
  // The same document written to out, without a copy of what was drawn.
  void WriteSvg(std::ostream& out, int32_t width, int32_t height);
  size_t DrawnBytes() const { return Body.size() + Path.size(); }

  TFontDesc Font;

 private:
  void EndPath();
  std::string Stroke() const;  // stroke attributes of the pen
  std::string Fill();          // fill attribute of the brush
  std::string FontClass();

  std::string Body;
  std::string Path;  // lines drawn with one pen, gathered into one path
  TPen PathPen;
  TPoint Current;              // the position MoveTo and LineTo leave
  bool PathAtCurrent = false;  // the path ends at Current, so a LineTo continues it
  std::map<std::pair<TBrushStyle, TColor>, std::string> Patterns;
  std::map<std::tuple<int32_t, int32_t, bool, bool, bool, std::string, TColor>, std::string> Fonts;
  std::string Defs;
  std::string Styles;
};

// Escapes a text for XML.
std::string XmlEscape(std::string_view text);
// "#rrggbb" of a Windows colour value.
std::string CssColor(TColor color);

}  // namespace pikrotta
