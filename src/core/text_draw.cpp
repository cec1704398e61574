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

namespace {

// The "^" control codes of one text: the walk over its bytes and the state it keeps.
class TEscapedText {
 public:
  TEscapedText(TGra& gra, TCanvas& canvas, int32_t baseFlags, std::string_view face, double a,
               double w, double h, double theta, double y, double x)
      : Gra(gra),
        Canvas(canvas),
        Face(face),
        A(a),
        W(w),
        H(h),
        Theta(theta),
        AlongX(std::cos(theta)),
        AlongY(std::sin(theta)),
        UpX(std::cos(theta + kPi / 2)),
        UpY(std::sin(theta + kPi / 2)),
        X(x),
        Y(y),
        BaseFlags(baseFlags),
        Flags(baseFlags),
        NextFlags(baseFlags) {}

  void Draw(std::string_view text) {
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
      const auto b = static_cast<unsigned char>(text[i]);
      if (IsLeadByte(b)) {
        if (i + 1 >= n) break;  // a lone lead byte ends the text
        DoubleByteCharacter(text.substr(i, 2));
        i += 2;
      } else if (b != '^') {
        i += SingleByteCharacter(text, i);
      } else if (i + 1 >= n) {
        Run += '^';
        break;
      } else {
        i += Code(text, i);
      }
    }
    if (!Run.empty()) DrawRun(Run, A, W, H, X, Y);
  }

 private:
  void DrawRun(std::string_view run, double spacing, double w, double h, double x, double y) {
    Gra.DrawTextRun(Canvas, Flags, Face, run, spacing, w, h, Theta, y, x);
  }

  // Draws the pending run, moves the pen past it and lets the codes met meanwhile take effect.
  void Flush() {
    DrawRun(Run, A, W, H, X, Y);
    Advance(static_cast<double>(Run.size()) * (W + A) / 2);
    Run.clear();
    Flags = NextFlags;
    if (PendingColor != -1) {
      Canvas.Pen.Color = Gra.GraAttribute.PenColor(PendingColor);
      PendingColor = -1;
    }
  }

  void Advance(double along) {
    X += along * AlongX;
    Y += along * AlongY;
  }

  // One character at an offset from the pen position, along the baseline and up.
  void DrawAt(std::string_view ch, double along, double up, double cellW, double cellH,
              double spacing) {
    DrawRun(ch, spacing, cellW, cellH, X + along * AlongX + up * UpX,
            Y + along * AlongY + up * UpY);
  }

  void Literal(std::string_view bytes) {
    Run += bytes;
    PreviousClass = 1;
  }

  void DoubleByteCharacter(std::string_view ch) {
    if (Mode == 0)
      Run += ch;
    else if (Mode == 8)
      Run += "^w", Run += ch;  // "^w" does nothing to a double-byte character
    else
      Place(ch, true);
    Mode = 0;
    PreviousClass = 2;
  }

  // Returns the bytes taken.
  size_t SingleByteCharacter(std::string_view text, size_t i) {
    size_t taken = 1;
    if (Mode == 0) {
      Run += text[i];
    } else if (Mode == 8) {
      // One or two half-width characters, half size, centred over the previous character.
      if (i + 1 < text.size() && !IsLeadByte(text[i + 1])) taken = 2;
      DrawAt(text.substr(i, taken), -(static_cast<double>(taken) * W / 8 + Lead()),
             std::fabs(H) / 4, W / 2, H / 2, 0);
    } else {
      Place(text.substr(i, 1), false);
    }
    Mode = 0;
    PreviousClass = 1;
    return taken;
  }

  // How far back the previous character's cell begins.
  double Lead() const { return PreviousClass * A / 2 + PreviousClass * W / 4; }

  // The character after a "^u" .. "^c" code.
  void Place(std::string_view ch, bool doubleByte) {
    const double p0 = Lead();
    const double halfAdvance = (W + A) / 2;
    const double smallW = doubleByte ? W / 2 : W;
    switch (Mode) {
      case 1:  // raised by half the height, half high
        DrawAt(ch, 0, std::fabs(H) / 2, smallW, H / 2, A);
        Advance(halfAdvance);
        break;
      case 2:  // on the baseline, half high
        DrawAt(ch, 0, 0, smallW, H / 2, A);
        Advance(halfAdvance);
        break;
      case 3:  // half size over the previous character
        DrawAt(ch, -(p0 + (doubleByte ? W / 4 : W / 8)), std::fabs(H) / 4, W / 2, H / 2, A);
        break;
      case 4:  // full-size overstrike, centred
        DrawAt(ch, -(p0 + (doubleByte ? W / 2 : W / 4)), 0, W, H, A);
        break;
      case 5:  // overstrike shifted by a quarter of its cell
        DrawAt(ch, -(p0 + (doubleByte ? W / 4 : W / 8)), 0, W, H, A);
        break;
      case 6:  // overstrike shifted by a fifth of its cell
        DrawAt(ch, -(p0 + (doubleByte ? 0.3 * W : 0.15 * W)), 0, W, H, A);
        break;
      case 7:  // centred in the line height, half high
        DrawAt(ch, 0, std::fabs(H) / 4, smallW, H / 2, A);
        Advance(halfAdvance);
        break;
      default:
        break;
    }
  }

  // "^" and what follows it at i; returns the bytes taken.
  size_t Code(std::string_view text, size_t i) {
    const size_t n = text.size();
    const char k = text[i + 1];
    // A double-byte character right after "^" stays whole: "^" is literal and the character
    // is read as a character, not split into two bytes.
    if (IsLeadByte(k)) {
      Literal("^");
      return 1;
    }
    if (!CodesEnabled) {
      if (k == '^') {
        Flush();
        CodesEnabled = true;
      } else {
        Literal(text.substr(i, 2));
      }
      return 2;
    }
    switch (k) {
      case '!':
        NextFlags |= kTextBold, Flush();
        return 2;
      case '/':
        NextFlags |= kTextItalic, Flush();
        return 2;
      case '_':
        NextFlags |= kTextUnderline, Flush();
        return 2;
      case '-':
        NextFlags |= kTextStrikeOut, Flush();
        return 2;
      case '#':
        NextFlags = BaseFlags, Flush();
        return 2;
      case '*':
        CodesEnabled = false, Flush();
        return 2;
      case '$':
        return ColourCode(text, i);
      case 'u':
      case 'd':
      case 'o':
      case 'n':
      case 'b':
      case 'B':
      case 'c':
      case 'w': {
        // With nothing after it, or "^" after it, the code is literal.
        if (i + 2 >= n || text[i + 2] == '^') {
          Literal(text.substr(i, 2));
          return 2;
        }
        constexpr std::string_view kModes = "udonbBcw";
        Mode = static_cast<int32_t>(kModes.find(k)) + 1;
        Flush();
        return 2;
      }
      default:
        Literal(text.substr(i, 2));
        return 2;
    }
  }

  // "^$" and a pen number 1..9: the colour of what follows.
  size_t ColourCode(std::string_view text, size_t i) {
    if (i + 2 >= text.size()) {
      Run += "^$";
      return text.size() - i;
    }
    const char digit = text[i + 2];
    if (digit >= '1' && digit <= '9') {
      PendingColor = digit - '0';
      Flush();
      return 3;
    }
    if (IsLeadByte(digit)) {
      Literal("^$");  // the character after it stays whole
      return 2;
    }
    Literal(text.substr(i, 3));
    return 3;
  }

  TGra& Gra;
  TCanvas& Canvas;
  const std::string_view Face;
  const double A, W, H, Theta;
  const double AlongX, AlongY, UpX, UpY;
  double X, Y;  // the pen position
  std::string Run;
  const int32_t BaseFlags;
  int32_t Flags, NextFlags;
  int32_t PendingColor = -1;
  bool CodesEnabled = true;
  int32_t Mode = 0;           // the code waiting for the next character: 1 "^u" .. 8 "^w"
  int32_t PreviousClass = 0;  // 1 after a single-byte character or a literal, 2 double-byte
};

}  // namespace

void TGra::DrawEscapedText(TCanvas& canvas, int32_t baseFlags, std::string_view face,
                           std::string_view text, double a, double w, double h, double theta,
                           double y, double x) {
  TEscapedText(*this, canvas, baseFlags, face, a, w, h, theta, y, x).Draw(text);
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
    DrawTextChar(canvas, run.substr(i, length), frame, w, h, y, x);
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

void TGra::DrawTextChar(TCanvas& canvas, std::string_view ch, const TTextFrame& f, double w,
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
