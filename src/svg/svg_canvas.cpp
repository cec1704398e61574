#include "svg_canvas.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string_view>

#include "sjis_utf8.h"

namespace pikrotta {

namespace {

// Appends the pieces in turn; building with + chains trips a false -Wrestrict in GCC 12.
void Add(std::string& out, std::initializer_list<std::string_view> pieces) {
  for (const std::string_view piece : pieces) out += piece;
}

std::string Num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", v);
  return buffer;
}

// Lines of an 8 x 8 hatch cell, as GDI's hatch brushes lay them.
const char* HatchPath(TBrushStyle style) {
  switch (style) {
    case bsHorizontal:
      return "M0 3.5H8";
    case bsVertical:
      return "M3.5 0V8";
    case bsFDiagonal:  // "\"
      return "M0 0L8 8M-1 7L1 9M7 -1L9 1";
    case bsBDiagonal:  // "/"
      return "M0 8L8 0M-1 1L1 -1M7 9L9 7";
    case bsCross:
      return "M0 3.5H8M3.5 0V8";
    case bsDiagCross:
      return "M0 0L8 8M0 8L8 0";
    default:
      return "";
  }
}

// The face a font name stands for: Jw_cad writes "<name>", and "@" asks for vertical text.
std::string FamilyOf(std::string_view face) {
  if (face.starts_with("@")) face.remove_prefix(1);
  if (face.size() >= 2 && face.front() == '<' && face.back() == '>')
    face = face.substr(1, face.size() - 2);
  std::string family;
  if (!face.empty()) Add(family, {"'", XmlEscape(SjisToUtf8(face)), "',"});
  family += "'IPAGothic','MS Gothic',monospace";
  return family;
}

}  // namespace

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // Control characters are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        break;
    }
  }
  return out;
}

std::string CssColor(TColor color) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF,
                (color >> 16) & 0xFF);
  return buffer;
}

std::string TSvgCanvas::Stroke() const {
  if (Pen.Style == psClear) return " stroke=\"none\"";
  std::string s;
  Add(s, {" stroke=\"", CssColor(Pen.Color), "\""});
  if (Pen.Width > 1) Add(s, {" stroke-width=\"", std::to_string(Pen.Width), "\""});
  switch (Pen.Style) {
    case psDot:
      s += " stroke-dasharray=\"1 1\"";
      break;
    case psDash:
      s += " stroke-dasharray=\"6 2\"";
      break;
    case psDashDot:
      s += " stroke-dasharray=\"6 2 1 2\"";
      break;
    case psDashDotDot:
      s += " stroke-dasharray=\"6 2 1 2 1 2\"";
      break;
    default:
      break;
  }
  return s;
}

std::string TSvgCanvas::Fill() {
  if (Brush.Style == bsClear) return " fill=\"none\"";
  std::string fill;
  if (Brush.Style == bsSolid) {
    Add(fill, {" fill=\"", CssColor(Brush.Color), "\""});
    return fill;
  }
  auto [it, added] = Patterns.try_emplace({Brush.Style, Brush.Color}, "");
  if (added) {
    Add(it->second, {"h", std::to_string(Patterns.size())});
    // Only the hatch lines are painted: the gaps stay transparent, as the drawing expects.
    Add(Defs, {"<pattern id=\"", it->second,
               "\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\"><path d=\"",
               HatchPath(Brush.Style), "\" stroke=\"", CssColor(Brush.Color), "\"/></pattern>\n"});
  }
  Add(fill, {" fill=\"url(#", it->second, ")\""});
  return fill;
}

void TSvgCanvas::EndPath() {
  if (Path.empty()) return;
  const TPen pen = Pen;
  Pen = PathPen;
  Add(Body, {"<path d=\"", Path, "\" fill=\"none\"", Stroke(), "/>\n"});
  Pen = pen;
  Path.clear();
  PathAtCurrent = false;
}

void TSvgCanvas::MoveTo(int32_t x, int32_t y) {
  if (!(Current == TPoint{x, y})) PathAtCurrent = false;
  Current = {x, y};
}

void TSvgCanvas::LineTo(int32_t x, int32_t y) {
  if (!Path.empty() && !(PathPen == Pen)) EndPath();
  if (!PathAtCurrent) {
    Add(Path, {"M", std::to_string(Current.X), " ", std::to_string(Current.Y)});
    PathPen = Pen;
  }
  Add(Path, {"L", std::to_string(x), " ", std::to_string(y)});
  Current = {x, y};
  PathAtCurrent = true;
}

void TSvgCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  // The end pixel of a solid line is already covered by its square cap.
  if (PathAtCurrent && Current == TPoint{x, y} && PathPen.Color == color &&
      PathPen.Style == psSolid)
    return;
  EndPath();
  Add(Body, {"<rect x=\"", Num(x - 0.5), "\" y=\"", Num(y - 0.5),
             "\" width=\"1\" height=\"1\" fill=\"", CssColor(color), "\"/>\n"});
}

void TSvgCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  EndPath();
  // GDI leaves out the right and bottom edges.
  const int32_t left = std::min(x1, x2), top = std::min(y1, y2);
  const int32_t width = std::abs(x2 - x1) - 1, height = std::abs(y2 - y1) - 1;
  if (width < 0 || height < 0) return;
  Add(Body, {"<rect x=\"", std::to_string(left), "\" y=\"", std::to_string(top), "\" width=\"",
             std::to_string(width), "\" height=\"", std::to_string(height), "\"", Fill(), Stroke(),
             "/>\n"});
}

namespace {

std::string Points(std::span<const TPoint> points) {
  std::string s;
  for (const TPoint& p : points) {
    if (!s.empty()) s += ' ';
    Add(s, {std::to_string(p.X), ",", std::to_string(p.Y)});
  }
  return s;
}

}  // namespace

void TSvgCanvas::Polyline(std::span<const TPoint> points) {
  EndPath();
  Add(Body, {"<polyline points=\"", Points(points), "\" fill=\"none\"", Stroke(), "/>\n"});
}

void TSvgCanvas::Polygon(std::span<const TPoint> points) {
  EndPath();
  // GDI fills polygons by the even-odd rule unless told otherwise.
  Add(Body,
      {"<polygon points=\"", Points(points), "\" fill-rule=\"evenodd\"", Fill(), Stroke(), "/>\n"});
}

std::string TSvgCanvas::FontClass() {
  const auto key = std::make_tuple(Font.Height, Font.Weight, Font.Italic, Font.Underline,
                                   Font.StrikeOut, Font.FaceName, Font.Color);
  auto [it, added] = Fonts.try_emplace(key, "");
  if (added) {
    Add(it->second, {"f", std::to_string(Fonts.size())});
    std::string decoration;
    if (Font.Underline) decoration += " underline";
    if (Font.StrikeOut) decoration += " line-through";
    Add(Styles, {".", it->second, "{font-family:", FamilyOf(Font.FaceName),
                 ";font-size:", std::to_string(std::max(Font.Height, 1)), "px;font-weight:",
                 std::to_string(Font.Weight), Font.Italic ? ";font-style:italic" : "",
                 decoration.empty() ? "" : ";text-decoration:", decoration,
                 ";fill:", CssColor(Font.Color), "}\n"});
  }
  return it->second;
}

void TSvgCanvas::TextOut(int32_t x, int32_t y, std::string_view sjis) {
  EndPath();
  // TextOut places the top-left corner of the cell and turns the text about it by the
  // escapement (tenths of a degree, counter-clockwise). A full-width character is as wide as
  // the font is high, and the font asks for twice its width.
  const std::string font = FontClass();
  Add(Body, {"<text class=\"", font, "\" transform=\"translate(", std::to_string(x), " ",
             std::to_string(y), ")"});
  if (Font.Escapement % 3600 != 0) Add(Body, {" rotate(", Num(-Font.Escapement / 10.0), ")"});
  if (Font.Width > 0 && Font.Height > 0 && 2 * Font.Width != Font.Height)
    Add(Body, {" scale(", Num(2.0 * Font.Width / Font.Height), " 1)"});
  Add(Body, {"\">", XmlEscape(SjisToUtf8(sjis)), "</text>\n"});
}

std::unique_ptr<TBitmap> TSvgCanvas::CopyToBitmap(int32_t width, int32_t height) {
  return std::make_unique<TSizeOnlyBitmap>(width, height);
}

void TSvgCanvas::BitBlt(int32_t, int32_t, const TBitmap&) {}

namespace {

// v - 0.5 exactly: the picture's edge where the pixels begin, in the half-pixel-moved group.
std::string HalfBefore(int32_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "%.1f", v - 0.5);  // a whole number less a half is exact
  return text;
}

}  // namespace

void TSvgCanvas::StretchDraw(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                             const TBitmap& picture) {
  const auto* svg = dynamic_cast<const TSvgPicture*>(&picture);
  const int64_t width = std::abs(int64_t{x2} - x1), height = std::abs(int64_t{y2} - y1);
  if (!svg || width == 0 || height == 0) return;
  EndPath();
  Add(Body, {"<image x=\"", HalfBefore(std::min(x1, x2)), "\" y=\"", HalfBefore(std::min(y1, y2)),
             "\" width=\"", std::to_string(width), "\" height=\"", std::to_string(height),
             "\" preserveAspectRatio=\"none\" href=\"", svg->DataAddress, "\"/>\n"});
}

std::string TSvgCanvas::Svg(int32_t width, int32_t height) {
  std::ostringstream out;
  WriteSvg(out, width, height);
  return std::move(out).str();
}

void TSvgCanvas::WriteSvg(std::ostream& out, int32_t width, int32_t height) {
  EndPath();
  const std::string w = std::to_string(width), h = std::to_string(height);
  for (const std::string_view piece :
       {std::string_view("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""), std::string_view(w),
        std::string_view("\" height=\""), std::string_view(h),
        std::string_view("\" viewBox=\"0 0 "), std::string_view(w), std::string_view(" "),
        std::string_view(h), std::string_view("\">\n<defs>\n"), std::string_view(Defs),
        std::string_view("</defs>\n<style>\n"),
        std::string_view("text{dominant-baseline:text-before-edge;white-space:pre}\n"),
        std::string_view(Styles),
        std::string_view(
            "</style>\n<g transform=\"translate(0.5 0.5)\" stroke-linecap=\"square\">\n"),
        std::string_view(Body), std::string_view("</g>\n</svg>\n")})
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
}

}  // namespace pikrotta
