#include <cmath>
#include <numbers>

#include "gra_test_util.h"

namespace pikrotta {
namespace {

using test::GraTest;

class TextDraw : public GraTest {
 protected:
  // A text of pen 2 at the origin: 4 mm wide cells (2 mm for single-byte), 3 mm high, spacing a.
  TJwwEntText Text(std::string_view text, double a = 0, double dx = 10, double dy = 0) {
    TJwwEntText t;
    t.Color = 2;
    t.CharWidth = 4;
    t.CharHeight = 3;
    t.CharSpacing = a;
    t.Dx = dx;
    t.Dy = dy;
    t.FontName = "F";
    t.Text = std::string(text);
    return t;
  }
  void Draw(const TJwwEntText& t) {
    Canvas.Calls.clear();
    Gra.DrawTextEntity(Canvas, t);
  }
  std::vector<TCanvasCall> Texts() const { return CallsOf(TCallKind::TextOut); }
  std::vector<int32_t> Xs() const {
    std::vector<int32_t> xs;
    for (const auto& c : Texts()) xs.push_back(c.Args[0]);
    return xs;
  }
  std::string Drawn() const {
    std::string s;
    for (const auto& c : Texts()) s += c.Text;
    return s;
  }
};

TEST_F(TextDraw, GreekingBelowSixPixels) {
  View.ViewScale = 1.5;  // 3 mm = 4.5 pixels: a thick line along the baseline
  View.CentreAt(0, 0);
  Draw(Text("ABC"));
  EXPECT_TRUE(Texts().empty());
  ASSERT_EQ(Canvas.Count(TCallKind::LineTo), 1u);
  EXPECT_EQ(Canvas.Calls[1].Pen.Width, 3);
  EXPECT_EQ(Canvas.Calls[1].Args[0] - Canvas.Calls[0].Args[0], 15);  // 10 mm
  View.ViewScale = 2.0;                                              // exactly 6 pixels: drawn
  View.CentreAt(0, 0);
  Draw(Text("ABC"));
  EXPECT_EQ(Drawn(), "ABC");
  Draw(Text("ABC", 0, 2.9));  // baseline of 5.8 pixels
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TextDraw, FontAndCellsOfAPlainText) {
  Draw(
      Text("A\x82\xA0"
           "B",
           1));
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  const TFontDesc& f = texts[0].Font;
  EXPECT_EQ(f.Height, 30);
  EXPECT_EQ(f.Width, 20);
  EXPECT_EQ(f.Escapement, 0);
  EXPECT_EQ(f.Weight, 400);
  EXPECT_EQ(f.CharSet, 1);
  EXPECT_EQ(f.FaceName, "F");
  EXPECT_EQ(f.Color, 0);  // pen 2 is black
  // Top-left corners: half a cell plus half the spacing after a single-byte character, a whole
  // cell plus the spacing after a double-byte one.
  EXPECT_EQ(Xs(), (std::vector<int32_t>{500, 525, 575}));
  EXPECT_EQ(texts[0].Args[1], 470);  // the cell's top, 3 mm above the baseline
  EXPECT_EQ(texts.back().Brush.Style, bsClear);
}

TEST_F(TextDraw, AnchorOffsets) {
  TJwwEntText t = Text("ABCDEFGHIJ");  // L = 20, H = 3
  t.CharHeight = 4;                    // H = 4
  t.TextAnchor = 4;
  Draw(t);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{400, 480}));  // start (-10, -2), top y = 2
  t.TextAnchor = 8;
  Draw(t);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{300, 500}));  // start (-20, -4)
  t.TextAnchor = 9;                                              // unknown: bottom left
  Draw(t);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{500, 460}));
}

TEST_F(TextDraw, EveryAnchorCodeAtAnAngle) {
  // L = 20, H = 4, text turned by 90 degrees: offsets (u, v) turn with it, so the start point
  // is (-v, u) and the first cell's top-left corner lies 4 mm further in -x.
  const struct {
    int32_t anchor;
    double u, v;
  } cases[] = {{0, 0, 0},    {1, -10, 0}, {2, -20, 0},  {3, 0, -2},  {4, -10, -2},
               {5, -20, -2}, {6, 0, -4},  {7, -10, -4}, {8, -20, -4}};
  for (const auto& c : cases) {
    TJwwEntText t = Text("ABCDEFGHIJ", 0, 0, 10);
    t.CharHeight = 4;
    t.TextAnchor = c.anchor;
    Draw(t);
    ASSERT_FALSE(Texts().empty()) << c.anchor;
    const double x = -c.v - 4, y = c.u;
    EXPECT_EQ(Texts()[0].Args,
              (std::vector<int32_t>{static_cast<int32_t>(std::lround((x + 50) * 10)),
                                    static_cast<int32_t>(std::lround(1000 - (y + 50) * 10))}))
        << c.anchor;
    EXPECT_EQ(Texts()[0].Font.Escapement, 900);
  }
}

TEST_F(TextDraw, VerticalTextExchangesSizes) {
  TJwwEntText t = Text("AB", 0, 0, -10);
  t.TextKind = 1;
  t.CharWidth = 2;
  t.CharHeight = 4;
  Draw(t);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Font.FaceName, "@F");
  EXPECT_EQ(texts[0].Font.Escapement, 2700);
  EXPECT_EQ(texts[0].Font.Height, 20);  // CharWidth
  EXPECT_EQ(texts[0].Font.Width, 20);   // CharHeight / 2
  EXPECT_EQ(texts[0].Args, (std::vector<int32_t>{520, 500}));
  EXPECT_EQ(texts[1].Args, (std::vector<int32_t>{520, 520}));  // one step down the page
}

TEST_F(TextDraw, NegativeWidthRunsBackFromTheEnd) {
  TJwwEntText t = Text("AB");
  t.CharWidth = -4;
  Draw(t);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Font.Escapement, 1800);
  EXPECT_EQ(texts[0].Args, (std::vector<int32_t>{600, 530}));
  EXPECT_EQ(texts[1].Args, (std::vector<int32_t>{580, 530}));
}

TEST_F(TextDraw, TrailingSpacingMarks) {
  Draw(Text("ABC\xA5", 1));  // spacing becomes w/2 + 1.5a = 3.5: steps of 3.75 mm
  EXPECT_EQ(Drawn(), "ABC");
  EXPECT_EQ(Xs(), (std::vector<int32_t>{500, 538, 575}));
  Draw(Text("ABC\x81\x45\x81\x45", 1));  // 2w + 2.5a = 10.5: steps of 7.25 mm
  EXPECT_EQ(Drawn(), "ABC");
  EXPECT_EQ(Xs(), (std::vector<int32_t>{500, 572, 645}));
  Draw(Text("ABCDEFGH^3", 1));  // width and spacing times 5/8
  EXPECT_EQ(Drawn(), "ABCDEFGH");
  EXPECT_EQ(Texts()[0].Font.Width, 12);  // 12.5 rounds to even
  EXPECT_EQ(Xs()[1], 516);
  Draw(Text("AB^3", 1));  // 2 - 3 is not more than 1: unchanged
  EXPECT_EQ(Drawn(), "AB");
  EXPECT_EQ(Texts()[0].Font.Width, 20);
  EXPECT_EQ(Xs()[1], 525);
}

TEST_F(TextDraw, StyleAndColourCodes) {
  Draw(Text("A^!B^#C"));
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].Font.Weight, 400);
  EXPECT_EQ(texts[1].Font.Weight, 700);
  EXPECT_EQ(texts[2].Font.Weight, 400);
  EXPECT_EQ(Xs(), (std::vector<int32_t>{500, 520, 540}));

  Draw(Text("A^/B^_C^-D"));
  texts = Texts();
  EXPECT_TRUE(texts[3].Font.Italic && texts[3].Font.Underline && texts[3].Font.StrikeOut);
  EXPECT_FALSE(texts[1].Font.Underline);

  Draw(Text("A^$3B"));
  texts = Texts();
  EXPECT_EQ(texts[0].Font.Color, 0);
  EXPECT_EQ(texts[1].Font.Color, MakeColor(0, 192, 0));
  EXPECT_EQ(Canvas.Pen.Color, MakeColor(0, 192, 0));  // what follows stays coloured
}

TEST_F(TextDraw, LiteralFallBacks) {
  const struct {
    std::string_view text, drawn;
  } cases[] = {
      {"A^*^!B", "A^!B"},      // codes disabled
      {"A^*B^^C^!D", "ABCD"},  // "^^" enables them again
      {"A^u", "A^u"},          // nothing follows the mode code
      {"A^u^!B", "A^uB"},      // "^" follows it
      {"A^", "A^"},
      {"A^$", "A^$"},
      {"A^$xB", "A^$xB"},
      {"A^qB", "A^qB"},
      // A double-byte character after "^" stays whole: split, its trail byte 0x5E would
      // start a bold code and 0x81 would pair with the next byte.
      {"A^\x81\x5E!B", "A^\x81\x5E!B"},
      {"A^\x81\x81"
       "B",
       "A^\x81\x81"
       "B"},
      {"AB\x82", "AB"},  // lone lead byte at the end
  };
  for (const auto& c : cases) {
    Draw(Text(c.text));
    EXPECT_EQ(Drawn(), c.drawn) << c.text;
  }
  Draw(Text("A^*^!B"));
  for (const auto& t : Texts()) EXPECT_EQ(t.Font.Weight, 400);
  Draw(Text("A^*B^^C^!D"));
  EXPECT_EQ(Texts().back().Font.Weight, 700);
}

TEST_F(TextDraw, PlacementCodes) {
  // "^u": half height, raised by half the height: the cell's top stays at the line's top.
  Draw(Text("X^u2"));
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].Font.Height, 15);
  EXPECT_EQ(texts[1].Args, (std::vector<int32_t>{520, 470}));
  // "^d": half height on the baseline.
  Draw(Text("X^d2"));
  EXPECT_EQ(Texts()[1].Args, (std::vector<int32_t>{520, 485}));
  // "^n": full-size overstrike centred on the previous character, single- and double-byte.
  Draw(Text("A^nB"));
  EXPECT_EQ(Texts()[1].Args, Texts()[0].Args);
  Draw(Text("\x82\xA0^n\x82\xA2"));
  EXPECT_EQ(Texts()[1].Args, Texts()[0].Args);
  // "^b" and "^B" shift the overstrike forward by w/8 and 0.15 w for single-byte characters.
  Draw(Text("A^bB"));
  EXPECT_EQ(Texts()[1].Args[0], 505);
  Draw(Text("A^BB"));
  EXPECT_EQ(Texts()[1].Args[0], 504);  // 0.1 * 4 mm = 4 pixels
  // "^o": a half-size character over the previous one.
  Draw(Text("A^oB"));
  EXPECT_EQ(Texts()[1].Font.Height, 15);
  EXPECT_EQ(Texts()[1].Args, (std::vector<int32_t>{505, 478}));
  // "^c": half height, centred in the line height, and the pen moves on.
  Draw(Text("A^cBC"));
  EXPECT_EQ(Texts()[1].Args, (std::vector<int32_t>{520, 478}));
  EXPECT_EQ(Texts()[2].Args[0], 540);
  // "^w": two half-width characters over the previous one, no spacing.
  Draw(Text("A^w12", 1));
  texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].Font.Width, 10);
  EXPECT_EQ(texts[1].Args, (std::vector<int32_t>{500, 478}));  // P - (2w/8 + a/2 + w/4)
  EXPECT_EQ(texts[2].Args, (std::vector<int32_t>{510, 478}));
  // "^w" before a double-byte character is kept as text.
  Draw(Text("A^w\x82\xA0"));
  EXPECT_EQ(Drawn(), "A^w\x82\xA0");
}

TEST_F(TextDraw, SubstitutedTextsSkipTheCodePass) {
  Gra.DrawingInfo.UserSubstitutions = {{"%%x", "A^!B"}};
  Draw(Text("%%x"));
  EXPECT_EQ(Drawn(), "A^!B");
  for (const auto& t : Texts()) EXPECT_EQ(t.Font.Weight, 400);
  Draw(Text("%j"));
  EXPECT_EQ(Drawn(), "2008/ 5/ 3");
}

TEST_F(TextDraw, FaceNames) {
  TJwwEntText t = Text("A");
  t.FontName = std::string(30, 'x') + "\x82\xA0" + "yz";  // the character at bytes 31-32 won't fit
  Draw(t);
  EXPECT_EQ(Texts()[0].Font.FaceName, std::string(30, 'x'));
  t.FontName = "@@F";  // turned by half a turn, moved by a cell width and height
  Draw(t);
  EXPECT_EQ(Texts()[0].Font.FaceName, "F");
  EXPECT_EQ(Texts()[0].Font.Escapement, 1800);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{540, 500}));
}

TEST_F(TextDraw, CharactersOutsideTheViewAreSkipped) {
  TJwwEntText t = Text("ABCDEFGHIJ");
  t.X = 45;  // 2 mm cells from x = 45: the fourth starts at 51, beyond the right edge
  Draw(t);
  EXPECT_EQ(Drawn(), "ABC");
  t.X = -52;  // the first cell ends at -50, on the edge: outside
  Draw(t);
  EXPECT_EQ(Texts()[0].Text, "B");
}

TEST_F(TextDraw, FramedTextDrawsItsLeaderAndItsBody) {
  TJwwEntMsgText m;
  m.Frame.Color = 6;
  m.Frame.LineType = 2;
  m.Frame.X2 = 10;
  m.Body = Text("AB");
  Gra.DrawMsgTextEntity(Canvas, m);
  ASSERT_EQ(Canvas.Calls[1].Kind, TCallKind::LineTo);
  EXPECT_EQ(Canvas.Calls[1].Pen, (TPen{0xFF0000, 0, psDot, pmCopy}));
  EXPECT_EQ(Drawn(), "AB");
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

class TextLimits : public TextDraw {};

// Characters wider or higher than 1000 pixels are drawn as a 3-pixel line, exactly 1000 not.
TEST_F(TextLimits, GreekingAboveAThousandPixels) {
  const struct {
    double width, height;
    bool greeked;
  } cases[] = {{100, 3, false}, {100.5, 3, true}, {4, 100, false}, {4, 100.5, true}};
  for (const auto& c : cases) {
    TJwwEntText t = Text("ABC");
    t.CharWidth = c.width;
    t.CharHeight = c.height;
    Draw(t);
    EXPECT_EQ(Texts().empty(), c.greeked) << c.width << " x " << c.height;
    if (c.greeked) {
      EXPECT_EQ(CallsOf(TCallKind::LineTo).at(0).Pen.Width, 3);
    }
  }
}

// A negative height hangs the cell below the baseline: its top-left corner is the baseline
// point itself instead of a height above it.
TEST_F(TextLimits, NegativeHeightHangsBelowTheBaseline) {
  TJwwEntText t = Text("A");
  Draw(t);
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{500, 470}));
  t.CharHeight = -3;
  Draw(t);
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0].Args, (std::vector<int32_t>{500, 500}));
  EXPECT_EQ(Texts()[0].Font.Height, 30);
}

// "^N" survives the "・" marks after it: both are removed and the text is condensed.
TEST_F(TextLimits, CondenseCodeBeforeFullWidthDots) {
  Draw(Text("ABCDEFGH^3\x81\x45", 1));
  EXPECT_EQ(Drawn(), "ABCDEFGH");
  EXPECT_EQ(Texts()[0].Font.Width, 12);  // 4 mm x 5/8 at 10 pixels per mm, halved, to even
}

}  // namespace
}  // namespace pikrotta
