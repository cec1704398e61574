#include "svg_canvas.h"

#include <gtest/gtest.h>

#include <cctype>

#include "recording_canvas.h"

namespace pikrotta {
namespace {

// The numbers of an attribute of the first element of a kind, as written.
std::vector<int32_t> Numbers(const std::string& svg, const std::string& element,
                             const std::string& attribute) {
  const size_t open = svg.find("<" + element + " ");
  if (open == std::string::npos) return {};
  const size_t close = svg.find('>', open);
  const size_t at = svg.find(" " + attribute + "=\"", open);
  if (at == std::string::npos || at > close) return {};
  const size_t begin = at + attribute.size() + 3;
  const std::string text = svg.substr(begin, svg.find('"', begin) - begin);
  std::vector<int32_t> numbers;
  for (size_t i = 0; i < text.size();) {
    const bool minus = text[i] == '-' && i + 1 < text.size() &&
                       std::isdigit(static_cast<unsigned char>(text[i + 1]));
    if (!minus && !std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    numbers.push_back(std::stoi(text.substr(i, end - i)));
    i = end;
  }
  return numbers;
}

// Draws the same calls on the SVG canvas and the recording canvas.
template <class Draw>
std::string Both(Draw draw, TRecordingCanvas& recorded) {
  TSvgCanvas svg;
  draw(static_cast<TCanvas&>(svg));
  draw(static_cast<TCanvas&>(recorded));
  return svg.Svg(100, 80);
}

TEST(SvgCanvas, CoordinatesAreThoseOfTheCalls) {
  TRecordingCanvas recorded;
  const std::vector<TPoint> points = {{1, 2}, {30, 40}, {-5, 70}};
  const std::string svg = Both(
      [&](TCanvas& c) {
        c.MoveTo(3, 4);
        c.LineTo(50, 60);
        c.LineTo(70, 10);
        c.Polyline(points);
        c.Brush.Style = bsSolid;
        c.Polygon(points);
        c.Rectangle(10, 20, 40, 60);
      },
      recorded);
  // One path for the joined lines: M x y L x y L x y.
  EXPECT_EQ(Numbers(svg, "path", "d"), (std::vector<int32_t>{3, 4, 50, 60, 70, 10}));
  EXPECT_EQ(Numbers(svg, "polyline", "points"), recorded.Calls[3].Args);
  EXPECT_EQ(Numbers(svg, "polygon", "points"), recorded.Calls[4].Args);
  // GDI leaves out the right and bottom edges: 30 x 40 becomes 29 x 39 from (10, 20).
  EXPECT_NE(svg.find("<rect x=\"10\" y=\"20\" width=\"29\" height=\"39\""), std::string::npos)
      << svg;
  EXPECT_NE(svg.find("fill-rule=\"evenodd\""), std::string::npos);
}

TEST(SvgCanvas, PensAndHatches) {
  TSvgCanvas c;
  c.Pen = {0x0000FF, 0, psDot, pmCopy};
  c.MoveTo(0, 0);
  c.LineTo(10, 0);
  c.Pen = {0x00FF00, 3, psSolid, pmCopy};
  c.LineTo(10, 10);  // another pen: another path
  c.Brush = {0xFF0000, bsBDiagonal};
  c.Rectangle(0, 0, 20, 20);
  c.Brush = {0xFF0000, bsCross};
  c.Rectangle(0, 0, 20, 20);
  c.Brush = {0xFF0000, bsBDiagonal};
  c.Polygon(std::vector<TPoint>{{0, 0}, {9, 0}, {0, 9}});
  const std::string svg = c.Svg(40, 40);
  EXPECT_NE(svg.find("stroke=\"#ff0000\" stroke-dasharray=\"1 1\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("stroke=\"#00ff00\" stroke-width=\"3\""), std::string::npos);
  // One pattern per hatch and colour, used by reference; "/" runs from bottom-left up.
  EXPECT_NE(svg.find("<pattern id=\"h1\""), std::string::npos);
  EXPECT_NE(svg.find("<pattern id=\"h2\""), std::string::npos);
  EXPECT_EQ(svg.find("<pattern id=\"h3\""), std::string::npos);
  EXPECT_NE(svg.find("M0 8L8 0"), std::string::npos);
  EXPECT_NE(svg.find("fill=\"url(#h1)\""), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#0000ff\"/></pattern>"), std::string::npos);
}

TEST(SvgCanvas, EndPixelsOfSolidLinesAreCoveredAndOthersDrawn) {
  TSvgCanvas c;
  c.Pen = {0, 0, psSolid, pmCopy};
  c.MoveTo(0, 0);
  c.LineTo(5, 5);
  c.SetPixel(5, 5, 0);  // the line's square cap covers it
  c.SetPixel(7, 5, 0xFF);
  const std::string svg = c.Svg(10, 10);
  EXPECT_EQ(svg.find("<rect x=\"4.5\""), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"6.5\" y=\"4.5\" width=\"1\" height=\"1\" fill=\"#ff0000\""),
            std::string::npos)
      << svg;
}

TEST(SvgCanvas, TextsCarryTheirFontRotationAndUtf8) {
  TSvgCanvas c;
  c.Font.Height = 20;
  c.Font.Width = 5;  // half the natural width
  c.Font.Escapement = 900;
  c.Font.Weight = 700;
  c.Font.Italic = c.Font.Underline = c.Font.StrikeOut = true;
  c.Font.FaceName = "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>";  // <ＭＳ ゴシック>
  c.Font.Color = 0x00FF00;
  c.TextOut(30, 40, "\x90\x7d<&");  // 図<&
  const std::string svg = c.Svg(100, 100);
  EXPECT_NE(svg.find("transform=\"translate(30 40) rotate(-90) scale(0.5 1)\">図&lt;&amp;</text>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("font-family:'ＭＳ ゴシック','IPAGothic'"), std::string::npos);
  EXPECT_NE(svg.find("font-size:20px;font-weight:700;font-style:italic;"
                     "text-decoration: underline line-through;fill:#00ff00"),
            std::string::npos);
}

// A picture covers the pixels of its rectangle, left and top included, right and bottom not,
// in the group moved by half a pixel; a bitmap that is no picture draws nothing.
TEST(SvgCanvas, PicturesCoverTheirRectanglesPixels) {
  TSvgCanvas canvas;
  const TSvgPicture picture("data:image/png;base64,AAAA", 4, 3);
  canvas.MoveTo(0, 0);
  canvas.LineTo(5, 0);
  canvas.StretchDraw(30, 20, 10, 5, picture);
  canvas.StretchDraw(-3, 0, 2, 4, picture);
  canvas.StretchDraw(7, 7, 7, 9, picture);  // no width
  canvas.StretchDraw(0, 0, 9, 9, TSizeOnlyBitmap(4, 3));
  const std::string svg = canvas.Svg(100, 80);
  EXPECT_NE(svg.find("<image x=\"9.5\" y=\"4.5\" width=\"20\" height=\"15\" "
                     "preserveAspectRatio=\"none\" href=\"data:image/png;base64,AAAA\"/>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<image x=\"-3.5\" y=\"-0.5\" width=\"5\" height=\"4\""), std::string::npos);
  size_t images = 0;
  for (size_t at = svg.find("<image"); at != std::string::npos; at = svg.find("<image", at + 1))
    ++images;
  EXPECT_EQ(images, 2u);
  EXPECT_LT(svg.find("<path"), svg.find("<image"));  // the line before it stays beneath
}

TEST(XmlEscape, MarkupAndControlCharacters) {
  EXPECT_EQ(XmlEscape("a<b>&\"'\x01z"), "a&lt;b&gt;&amp;&quot;&apos;z");
}

}  // namespace
}  // namespace pikrotta
