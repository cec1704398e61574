// Texts: placement from the anchor, greeking, trailing spacing marks, auto-substitution, the
// "^" control codes, and characters drawn one by one in cells of the drawing's own size.
#include <cmath>
#include <numbers>

#include "gra.h"
#include "my_func.h"

namespace pikrotta {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr unsigned char kHalfWidthDot = 0xA5;  // ･

bool IsFullWidthDot(std::string_view s, size_t i) {  // ・
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 && s[i + 1] == 0x45;
}

// Byte length of the character at i; a lone lead byte at the end is one byte.
size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1;
}

// Half-width units of all characters but the last.
int32_t UnitsBeforeLast(std::string_view s) {
  int32_t units = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (i + length >= s.size()) break;
    units += IsLeadByte(s[i]) ? 2 : 1;
    i += length;
  }
  return units;
}

void RemoveLastBytes(std::string& s, size_t count) {
  s.erase(s.size() - std::min(count, s.size()));
}

// Trailing "･", "・" and "^N" marks: removed from the text, their room spread over the gaps
// (or, for "^N", the text condensed to N half-width units fewer).
void ApplyTrailingSpacingMarks(std::string& text, double& a, double& w) {
  double g = 0;
  bool endsWithDot = false;
  int32_t dots = 0;
  int32_t condense = 0;
  bool afterCaret = false;
  for (size_t i = 0; i < text.size();) {
    const size_t length = CharLength(text, i);
    const bool last = i + length >= text.size();
    const bool doubleByte = IsLeadByte(text[i]);
    const auto c = static_cast<unsigned char>(text[i]);
    if (!last) g += doubleByte ? a : a / 2;
    const bool caret = !doubleByte && c == '^';
    const bool digitAfterCaret = !doubleByte && afterCaret && c >= '1' && c <= '9';
    const bool fullWidthDot = IsFullWidthDot(text, i);
    const bool finalHalfWidthDot = last && !doubleByte && c == kHalfWidthDot;
    if (fullWidthDot)
      ++dots;
    else if (!caret && !digitAfterCaret)
      dots = 0;
    if (caret)
      condense = 0;
    else if (digitAfterCaret)
      condense = c - '0';
    else if (!fullWidthDot && !finalHalfWidthDot)
      condense = 0;
    endsWithDot = finalHalfWidthDot;
    afterCaret = caret;
    i += length;
  }
  if (endsWithDot) {
    RemoveLastBytes(text, 1);
    if (const int32_t v = UnitsBeforeLast(text); v > 0) {
      a = 2 * (w / 2 + g) / v;
      g = w / 2 + g;
    }
  }
  if (dots > 0) {
    RemoveLastBytes(text, 2 * static_cast<size_t>(dots));
    if (const int32_t v = UnitsBeforeLast(text); v > 0) a = 2 * (dots * w + g) / v;
  }
  if (condense > 0) {
    RemoveLastBytes(text, 2);
    const double n = static_cast<double>(text.size());
    if (n - condense > 1) {
      const double f = (n - condense) / n;
      w *= f;
      a *= f;
    }
  }
}

bool HasCaret(std::string_view s) {
  for (size_t i = 0; i < s.size(); i += CharLength(s, i))
    if (s[i] == '^') return true;
  return false;
}

}  // namespace

void TGra::DrawTextEntity(TCanvas& canvas, const TJwwEntText& t) {
  const double s = CoordDivisor(Model, t);
  SetEntityPen(canvas, t.Color, 1);
  const bool vertical = t.TextKind == 1;
  double length = EstimateTextWidth(t.Text, t.CharWidth, t.CharSpacing);
  double height = t.CharHeight;
  if (vertical) std::swap(length, height);
  double u = 0, v = 0;
  switch (t.TextAnchor) {
    case 1:
      u = -length / 2;
      break;
    case 2:
      u = -length;
      break;
    case 3:
      v = -height / 2;
      break;
    case 4:
      u = -length / 2, v = -height / 2;
      break;
    case 5:
      u = -length, v = -height / 2;
      break;
    case 6:
      v = -height;
      break;
    case 7:
      u = -length / 2, v = -height;
      break;
    case 8:
      u = -length, v = -height;
      break;
    default:
      break;
  }
  const double theta = DirectionAngle(t.Dx, t.Dy);
  const double ax = t.X / s + RotateX(u, v, 0, 0, theta);
  const double ay = t.Y / s + RotateY(u, v, 0, 0, theta);
  const double bx = ax + t.Dx / s, by = ay + t.Dy / s;
  const double w = vertical ? t.CharHeight : t.CharWidth;
  const double h = vertical ? t.CharWidth : t.CharHeight;
  const std::string face = vertical ? "@" + t.FontName : t.FontName;
  DrawTextString(canvas, 0, face, t.Text, t.CharSpacing, w, h, by, bx, ay, ax);
}

void TGra::DrawMsgTextEntity(TCanvas& canvas, const TJwwEntMsgText& t) {
  DrawLineEntity(canvas, t.Frame);
  DrawTextEntity(canvas, t.Body);
}

void TGra::DrawTextString(TCanvas& canvas, int32_t flags, std::string_view face,
                          std::string_view text, double a, double w, double h, double by, double bx,
                          double ay, double ax) {
  if (text.empty()) return;
  const double scale = View.ViewScale;
  const double lambda = PointDistance(ax, ay, bx, by);
  // Too small to read or too big to render: a thick line along the baseline instead.
  if (std::fabs(h) < 1e-10 || std::fabs(h) * scale < 6 || std::fabs(h) * scale > 1000 ||
      std::fabs(lambda) < 1e-10 || std::fabs(lambda) * scale < 6 || std::fabs(w) * scale > 1000) {
    canvas.Pen.Width = 3;
    DrawWorldLine(canvas, ax, ay, bx, by);
    return;
  }
  double theta = DirectionAngle(bx - ax, by - ay);
  if (w < 0) {
    w = -w;
    a = -a;
    theta += kPi;
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  std::string shortened(text);
  ApplyTrailingSpacingMarks(shortened, a, w);
  const TSubstitution sub = SubstituteTextCode(shortened, DrawingInfo, Clock);
  // A substituted value is drawn as it stands, whatever "^" it holds.
  if (sub.Substituted || !HasCaret(sub.Text)) {
    DrawTextRun(canvas, flags, face, sub.Text, a, w, h, theta, ay, ax);
    return;
  }
  DrawEscapedText(canvas, flags, face, sub.Text, a, w, h, theta, ay, ax);
}

void TGra::DrawEscapedText(TCanvas& canvas, int32_t baseFlags, std::string_view face,
                           std::string_view text, double a, double w, double h, double theta,
                           double y, double x) {
  const double alongX = std::cos(theta), alongY = std::sin(theta);
  const double upX = std::cos(theta + kPi / 2), upY = std::sin(theta + kPi / 2);
  std::string run;
  int32_t flags = baseFlags, nextFlags = baseFlags;
  int32_t pendingColor = -1;
  bool codesEnabled = true;
  int32_t mode = 0;
  int32_t previousClass = 0;

  auto flush = [&] {
    DrawTextRun(canvas, flags, face, run, a, w, h, theta, y, x);
    const double advance = static_cast<double>(run.size()) * (w + a) / 2;
    x += advance * alongX;
    y += advance * alongY;
    run.clear();
    flags = nextFlags;
    if (pendingColor != -1) {
      canvas.Pen.Color = GraAttribute.PenColor(pendingColor);
      pendingColor = -1;
    }
  };
  // Draws one character at an offset from the pen position (along the baseline and up).
  auto drawAt = [&](std::string_view ch, double along, double up, double cellW, double cellH,
                    double spacing) {
    DrawTextRun(canvas, flags, face, ch, spacing, cellW, cellH, theta,
                y + along * alongY + up * upY, x + along * alongX + up * upX);
  };
  // The character after a "^u" .. "^c" code.
  auto place = [&](std::string_view ch, bool doubleByte) {
    const double p0 = previousClass * a / 2 + previousClass * w / 4;
    const double halfAdvance = (w + a) / 2;
    const double smallW = doubleByte ? w / 2 : w;
    double advance = 0;
    switch (mode) {
      case 1:
        drawAt(ch, 0, std::fabs(h) / 2, smallW, h / 2, a), advance = halfAdvance;
        break;
      case 2:
        drawAt(ch, 0, 0, smallW, h / 2, a), advance = halfAdvance;
        break;
      case 3:
        drawAt(ch, -(p0 + (doubleByte ? w / 4 : w / 8)), std::fabs(h) / 4, w / 2, h / 2, a);
        break;
      case 4:
        drawAt(ch, -(p0 + (doubleByte ? w / 2 : w / 4)), 0, w, h, a);
        break;
      case 5:
        drawAt(ch, -(p0 + (doubleByte ? w / 4 : w / 8)), 0, w, h, a);
        break;
      case 6:
        drawAt(ch, -(p0 + (doubleByte ? 0.3 * w : 0.15 * w)), 0, w, h, a);
        break;
      case 7:
        drawAt(ch, 0, std::fabs(h) / 4, smallW, h / 2, a), advance = halfAdvance;
        break;
      default:
        break;
    }
    x += advance * alongX;
    y += advance * alongY;
  };

  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b)) {
      if (i + 1 >= n) break;  // a lone lead byte ends the text
      const std::string_view ch = text.substr(i, 2);
      if (mode == 0)
        run += ch;
      else if (mode == 8)
        run += "^w", run += ch;  // "^w" does nothing to a double-byte character
      else
        place(ch, true);
      mode = 0;
      previousClass = 2;
      i += 2;
      continue;
    }
    if (b != '^') {
      size_t taken = 1;
      if (mode == 0) {
        run += text[i];
      } else if (mode == 8) {
        // One or two half-width characters, half size, centred over the previous character.
        if (i + 1 < n && !IsLeadByte(text[i + 1])) taken = 2;
        const double p0 = previousClass * a / 2 + previousClass * w / 4;
        drawAt(text.substr(i, taken), -(static_cast<double>(taken) * w / 8 + p0), std::fabs(h) / 4,
               w / 2, h / 2, 0);
      } else {
        place(text.substr(i, 1), false);
      }
      mode = 0;
      previousClass = 1;
      i += taken;
      continue;
    }
    if (i + 1 >= n) {
      run += '^';
      break;
    }
    const char k = text[i + 1];
    // A double-byte character right after "^" stays whole: "^" is literal and the character
    // is read as a character, not split into two bytes.
    if (IsLeadByte(k)) {
      run += '^';
      previousClass = 1;
      i += 1;
      continue;
    }
    if (!codesEnabled) {
      if (k == '^') {
        flush();
        codesEnabled = true;
      } else {
        run += '^', run += k;
        previousClass = 1;
      }
      i += 2;
      continue;
    }
    switch (k) {
      case '!':
        nextFlags |= kTextBold, flush();
        break;
      case '/':
        nextFlags |= kTextItalic, flush();
        break;
      case '_':
        nextFlags |= kTextUnderline, flush();
        break;
      case '-':
        nextFlags |= kTextStrikeOut, flush();
        break;
      case '#':
        nextFlags = baseFlags, flush();
        break;
      case '*':
        codesEnabled = false, flush();
        break;
      case '$': {
        if (i + 2 >= n) {
          run += "^$";
          i = n;
          continue;
        }
        const char digit = text[i + 2];
        if (digit >= '1' && digit <= '9') {
          pendingColor = digit - '0';
          flush();
          i += 3;
        } else if (IsLeadByte(digit)) {
          run += "^$";  // the character after it stays whole
          previousClass = 1;
          i += 2;
        } else {
          run += "^$", run += digit;
          previousClass = 1;
          i += 3;
        }
        continue;
      }
      case 'u':
      case 'd':
      case 'o':
      case 'n':
      case 'b':
      case 'B':
      case 'c':
      case 'w': {
        if (i + 2 >= n || text[i + 2] == '^') {
          run += '^', run += k;
          previousClass = 1;
          break;
        }
        constexpr std::string_view kModes = "udonbBcw";
        mode = static_cast<int32_t>(kModes.find(k)) + 1;
        flush();
        break;
      }
      default:
        run += '^', run += k;
        previousClass = 1;
        break;
    }
    i += 2;
  }
  if (!run.empty()) DrawTextRun(canvas, flags, face, run, a, w, h, theta, y, x);
}

void TGra::DrawTextRun(TCanvas& canvas, int32_t flags, std::string_view face, std::string_view run,
                       double a, double w, double h, double theta, double y, double x) {
  int32_t escapement = RoundHalfEven(theta * 1800 / kPi);
  if (face.starts_with("@@")) {
    // Turned by half a turn and moved so that the characters keep their cells.
    face.remove_prefix(2);
    escapement += 1800;
    if (escapement >= 3600) escapement -= 3600;
    x += std::fabs(w) * std::cos(theta) + std::fabs(h) * std::cos(theta - kPi / 2);
    y += std::fabs(w) * std::sin(theta) + std::fabs(h) * std::sin(theta - kPi / 2);
  }
  TFontDesc font;
  font.Height = RoundHalfEven(std::fabs(h) * View.ViewScale);
  font.Width = RoundHalfEven(std::fabs(w) * View.ViewScale / 2);
  font.Escapement = escapement;
  font.Orientation = 0;
  font.Weight = (flags & kTextBold) ? 700 : 400;
  font.Italic = (flags & kTextItalic) != 0;
  font.Underline = (flags & kTextUnderline) != 0;
  font.StrikeOut = (flags & kTextStrikeOut) != 0;
  font.CharSet = 1;  // DEFAULT_CHARSET
  // The description holds 31 bytes of face name; a longer one is cut between characters.
  int32_t taken = 0;
  CopyMB(face, 1, kMaxFaceNameBytes, font.FaceName, taken);
  font.Color = canvas.Pen.Color;
  canvas.SetFont(font);
  canvas.Brush.Style = bsClear;

  if (run.empty()) return;
  const TTextFrame frame(theta);
  for (size_t i = 0; i < run.size();) {
    // A lone lead byte at the end is no character and is not drawn.
    if (IsLeadByte(run[i]) && i + 1 >= run.size()) break;
    const size_t length = CharLength(run, i);
    DrawTextCell(canvas, run.substr(i, length), frame, w, h, y, x);
    const double d = length == 2 ? w + a : (w + a) / 2;
    x += d * frame.AlongX;
    y += d * frame.AlongY;
    i += length;
  }
}

TGra::TTextFrame::TTextFrame(double angle)
    : AlongX(std::cos(angle)),
      AlongY(std::sin(angle)),
      UpX(std::cos(angle + kPi / 2)),
      UpY(std::sin(angle + kPi / 2)),
      DownX(std::cos(angle - kPi / 2)),
      DownY(std::sin(angle - kPi / 2)) {}

void TGra::DrawTextChar(TCanvas& canvas, int32_t /*anchor, always 0*/, std::string_view ch,
                        double theta, double w, double h, double y, double x) {
  DrawTextCell(canvas, ch, TTextFrame(theta), w, h, y, x);
}

void TGra::DrawTextCell(TCanvas& canvas, std::string_view ch, const TTextFrame& f, double w,
                        double h, double y, double x) {
  const double r = ch.size() == 2 ? std::fabs(w) : std::fabs(w) / 2;
  double tx = x, ty = y;
  if (h >= 0) {
    tx += h * f.UpX;
    ty += h * f.UpY;
  } else {
    h = -h;  // the cell hangs below the baseline
  }
  const double alongX = r * f.AlongX, alongY = r * f.AlongY;
  const double downX = h * f.DownX, downY = h * f.DownY;
  const TClipRect rect = ViewRect();
  const bool visible = PointOutsideRect(tx, ty, rect) == 0 ||
                       PointOutsideRect(tx + alongX, ty + alongY, rect) == 0 ||
                       PointOutsideRect(tx + downX, ty + downY, rect) == 0 ||
                       PointOutsideRect(tx + alongX + downX, ty + alongY + downY, rect) == 0;
  if (!visible) return;
  canvas.TextOut(
      RoundHalfEven((tx - View.ViewLeft) * View.ViewScale),
      PixelFromBottom(View.ViewHeight, RoundHalfEven((ty - View.ViewBottom) * View.ViewScale)), ch);
}

}  // namespace pikrotta
