#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "transfer_test_util.h"

namespace pikrotta {
namespace {

using test::ReadTransferText;

// Entity counts by table, in kind order, for quick "what did this line make" checks.
std::vector<int32_t> Counts(const TJwwGaibu& m) {
  std::vector<int32_t> counts;
  m.ForEachTable([&](auto, const auto&, int32_t count) { counts.push_back(count); });
  return counts;
}

// The kind that one line made, or 0 when it made nothing.
int32_t KindMadeBy(std::string_view text) {
  const TJwwGaibu m = ReadTransferText(text);
  if (m.JwwOrderCount == 0) return 0;
  EXPECT_EQ(m.JwwOrderCount, 1) << text;
  return m.JwwOrder[0].EntityKind;
}

TEST(TransferRules, WhichLineMakesWhichEntity) {
  const struct {
    std::string_view line;
    int32_t kind;
  } cases[] = {
      {"1 2 3 4", ekLine},
      {"ci 0 0 5", ekCircle},
      {"ci 0 0 5 ", 0},  // five fields: neither circle nor arc
      {"ci 0 0 5 0", 0},
      {"ci 0 0 5 0 90 1 0", ekArc},
      {"ci 0 0 5 0 90 1 0 7 7", ekArc},
      {"ch 0 0 1 0 x", ekText},
      {"cv 0 0 1 0 x", ekText},
      {"c2 0 0 1 0 x", ekText},
      {"cx 0 0 1 0 x", 0},
      {"ch 0 0 1 0", 0},
      {"ch 0 1 2", ekLine},  // too few fields for a text, four for a line
      {"pt 1 2", ekPoint},
      {"pt 1 2 3", ekLine},
      {"pt 1 2 3 4", 0},
      {"pt 1 2 1 0 3", ekPointEx},
      {"BL 1 2 name", ekBlock},
      {"BL 1 2", 0},
      {"sl 0 0 1 1", ekSolid2},
      {"sl 0 0 1 1 2", 0},
      {"sl 0 0 1 0 1 1", ekSolid3},
      {"sl 0 0 1 0 1 1 2", 0},
      {"sl 0 0 1 0 1 1 0 1", ekSolid4},
      {"sc 0 0 1 1 0 0 1 100", ekSolidSc},
      {"se 0 0 1 1 0 0 1 100", ekSolidSe},
      {"so 0 0 1 1 0 0 1 0.5", ekSolidSo},
      {"sg 0 0 1 1 0 0 1 0.5", ekSolidSg},
      {"sg 0 0 1 1 0 0 1", 0},
      {"hs 1 2 3", ekLine},  // not a scale line with four fields
      {"hk 1 2 3", 0},
      {"hzs 1 2 3", 0},
      {"hn 1 2 3 4", 0},
      {"hn 1 2 3", ekLine},
      {"hp 1 2 3", 0},
      {"hp1", 0},
      {"hpx 1", 0},
      {"hhp 1 2 3", 0},
      {"lgn 1 2 3", 0},
      {"lyn 1 2 3", 0},
      {"lg1 2 3 4", 0},
      {"z1 2 3 4", 0},
      {"z6 2 3 4", ekLine},
      {"pl 1 2 3", 0},
      {"msg 1 2 3", 0},
      {"bz 1 2 3", 0},
      {"unknown 1 2 3", ekLine},
      {"unknown 1 2", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(KindMadeBy(c.line), c.kind) << c.line;
}

TEST(TransferRules, FourFieldLineReadsNonNumbersAsZero) {
  const TJwwGaibu m = ReadTransferText("hs 1 2 3\n");
  ASSERT_EQ(m.JwwLineCount, 1);
  EXPECT_EQ(m.JwwLines[0].X1, 0);
  EXPECT_EQ(m.JwwLines[0].Y1, 1);
  EXPECT_EQ(m.JwwLines[0].X2, 2);
  EXPECT_EQ(m.JwwLines[0].Y2, 3);
}

TEST(TransferRules, HeaderLines) {
  const TJwwGaibu m = ReadTransferText(
      "file=C:\\my drawings\\a.jww\n"
      "hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
      "hcw 1 2 3 4 5 6 7 8 9 10\n"
      "hch 11 12 13 14 15 16 17 18 19 20\n"
      "hcd 0.5 0 0 0 0 0 0 0 0 9\n"
      "hcc 1 2 3 4 5 6 7 8 9 101\n"
      "bz\n");
  EXPECT_EQ(m.JwwFileName, "C:\\my drawings\\a.jww");
  for (int g = 0; g < 16; ++g) EXPECT_EQ(m.LayerGroupScale[g], g + 1);
  EXPECT_EQ(m.TextStyle(1), (TJwwTextStyle{1, 11, 0.5, 1}));
  EXPECT_EQ(m.TextStyle(10), (TJwwTextStyle{10, 20, 9, 101}));
  EXPECT_TRUE(m.NoScale);
}

TEST(TransferRules, ShortHeaderLinesChangeNothing) {
  const TJwwGaibu m = ReadTransferText("hs 2 2 2\nhcw 9 9 9 9 9 9 9 9 9\n");
  EXPECT_EQ(m.LayerGroupScale[0], 1.0);
  EXPECT_EQ(m.TextStyle(1).CharWidth, 3.0);
}

TEST(TransferRules, FileNameIsTakenFromTheSixthByteWhereverTheKeyStands) {
  EXPECT_EQ(ReadTransferText("file=").JwwFileName, "");
  EXPECT_EQ(ReadTransferText("xfile=a").JwwFileName, "=a");
}

TEST(TransferRules, AttributeLinesSetTheState) {
  const struct {
    std::string_view line;
    std::function<int32_t(const TJwwState&)> field;
    int32_t expected;
  } cases[] = {
      {"lgA", [](const TJwwState& s) { return s.CurLayerGroup; }, 10},
      {"lgf", [](const TJwwState& s) { return s.CurLayerGroup; }, 15},
      {"lgz", [](const TJwwState& s) { return s.CurLayerGroup; }, 0},
      {"lg", [](const TJwwState& s) { return s.CurLayerGroup; }, 0},
      {"ly7", [](const TJwwState& s) { return s.CurLayer; }, 7},
      {"ly", [](const TJwwState& s) { return s.CurLayer; }, 0},
      {"lc5", [](const TJwwState& s) { return s.CurColor; }, 5},
      {"lc10 12345", [](const TJwwState& s) { return s.CurExtColor; }, 12345},
      {"lc10", [](const TJwwState& s) { return s.CurExtColor; }, 0},
      {"lc3 12345", [](const TJwwState& s) { return s.CurExtColor; }, 0},
      {"lcx", [](const TJwwState& s) { return s.CurColor; }, 0},
      {"lt5", [](const TJwwState& s) { return s.CurLineType; }, 5},
      {"lw25", [](const TJwwState& s) { return s.CurLineWidth; }, 25},
      {"cn3", [](const TJwwState& s) { return s.CurTextStyleNo; }, 3},
      {"cc12", [](const TJwwState& s) { return s.CurTextAnchor; }, 1},
      {"cc9", [](const TJwwState& s) { return s.CurTextAnchor; }, 0},
      {"cc8", [](const TJwwState& s) { return s.CurTextAnchor; }, 8},
      {"cc-", [](const TJwwState& s) { return s.CurTextAnchor; }, 0},
      {"pn4", [](const TJwwState& s) { return s.CurPointColor; }, 4},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.field(ReadTransferText(c.line).JwwState), c.expected) << c.line;
}

TEST(TransferRules, FontAndFreeTextStyle) {
  const TJwwGaibu m = ReadTransferText("cn$MSMincho\ncn0 4 5 0.5 7\nch 1 2 3 0 hello\n");
  ASSERT_EQ(m.JwwTextCount, 1);
  const TJwwEntText& t = m.JwwTexts[0];
  EXPECT_EQ(t.FontName, "MSMincho");
  EXPECT_EQ(t.TextStyleNo, 0);
  EXPECT_EQ(t.CharWidth, 4);
  EXPECT_EQ(t.CharHeight, 5);
  EXPECT_EQ(t.CharSpacing, 0.5);
  EXPECT_EQ(t.Color, 7);
  // "cn0" with too few fields keeps the free style as it was.
  EXPECT_EQ(ReadTransferText("cn0 4 5").JwwState.FreeTextStyle, (TJwwTextStyle{2, 2, 0, 1}));
}

TEST(TransferRules, TextTakesStyleAnchorAndHeader) {
  const TJwwGaibu m = ReadTransferText(
      "lg2\nly3\nlc6\nlt2\nlw30\ncc4\ncn5\nhcc 1 2 3 4 105 6 7 8 9 10\n"
      "cs 10 20 30 0 \"ab cd=ef\n");
  ASSERT_EQ(m.JwwTextCount, 1);
  const TJwwEntText& t = m.JwwTexts[0];
  EXPECT_EQ(t.LayerGroup, 2);
  EXPECT_EQ(t.Layer, 3);
  EXPECT_EQ(t.Color, 105);  // the style's colour, not the line colour
  EXPECT_EQ(t.LineType, 2);
  EXPECT_EQ(t.LineWidth, 30);
  EXPECT_EQ(t.TextKind, 2);
  EXPECT_EQ(t.TextAnchor, 4);
  EXPECT_EQ(t.TextStyleNo, 5);
  EXPECT_EQ(t.CharWidth, 3.0);
  EXPECT_EQ(t.X, 10);
  EXPECT_EQ(t.Y, 20);
  EXPECT_EQ(t.Dx, 30);
  EXPECT_EQ(t.Dy, 0);
  EXPECT_EQ(t.FontName, TJwwState::DefaultFontName());
  EXPECT_EQ(t.Text, "ab cd=ef");
}

TEST(TransferRules, TextKindsFollowTheirKeys) {
  const char* keys[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
  for (int32_t kind = 0; kind < 10; ++kind) {
    const TJwwGaibu m = ReadTransferText(std::string(keys[kind]) + " 0 0 1 0 x");
    ASSERT_EQ(m.JwwTextCount, 1) << keys[kind];
    EXPECT_EQ(m.JwwTexts[0].TextKind, kind);
  }
}

TEST(TransferRules, LongTextsKeepTheir255FirstBytes) {
  const std::string text(300, 'a');
  const TJwwGaibu m = ReadTransferText("ch 0 0 1 0 " + text + "\ncn$" + text + "\nch 0 0 1 0 x");
  EXPECT_EQ(m.JwwTexts[0].Text, text.substr(0, 255));
  EXPECT_EQ(m.JwwTexts[1].FontName, text.substr(0, 255));
  EXPECT_EQ(m.JwwState.CurFontName, text);  // only the record is cut
}

TEST(TransferRules, PointsTakeThePointColour) {
  const TJwwGaibu m = ReadTransferText("lc3\npn6\npt 1 2\npt 3 4 2 45 7\n");
  ASSERT_EQ(m.JwwPointCount, 1);
  EXPECT_EQ(m.JwwPoints[0].Color, 6);
  ASSERT_EQ(m.JwwPointExCount, 1);
  const TJwwEntPointEx& p = m.JwwPointExs[0];
  EXPECT_EQ(p.Color, 6);
  EXPECT_EQ(p.X, 3);
  EXPECT_EQ(p.MarkScale, 2);
  EXPECT_EQ(p.MarkAngle, 45);
  EXPECT_EQ(p.MarkCode, 7);
}

TEST(TransferRules, ArcAndBlockFields) {
  const TJwwGaibu m = ReadTransferText("ci 1 2 3 10 350 0.5 30\nBL 4 5 \x95\x94\x95\x69\n");
  ASSERT_EQ(m.JwwArcCount, 1);
  EXPECT_EQ(m.JwwArcs[0], (TJwwEntArc{{0, 0, 1, 1, 0}, 1, 2, 3, 10, 350, 0.5, 30}));
  ASSERT_EQ(m.JwwBlockCount, 1);
  EXPECT_EQ(m.JwwBlocks[0].BlockName, "\x95\x94\x95\x69");
}

TEST(TransferRules, PolylineModeNumbersLinesUntilAnAttributeOrEntity) {
  const TJwwGaibu m = ReadTransferText(
      "pl\n0 0 1 0\n1 0 1 1\nlc2\n1 1 0 1\n"   // lc ends the polyline
      "pl\n0 0 2 0\nlgn\n2 0 2 2\nci 0 0 1\n"  // lgn does not; ci does
      "2 2 0 2\npl\n0 0 3 0\n#\n3 0 3 3\n"
      "pl\n0 0 4 0\nz1\nz3\nz5\n4 0 4 4\n");  // z1 to z5 do not end it
  const int32_t expected[] = {1, 1, 0, 2, 2, 0, 3, 0, 4, 4};
  ASSERT_EQ(m.JwwLineCount, 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(m.JwwLines[i].PolylineNo, expected[i]) << i;
  EXPECT_EQ(m.JwwLines[2].Color, 2);
}

TEST(TransferRules, MessageModeMakesFramedTexts) {
  const TJwwGaibu m = ReadTransferText("lc5\nmsg\n0 0 10 10\ncs 1 2 3 0 note\n");
  EXPECT_EQ(m.JwwLineCount, 0);
  ASSERT_EQ(m.JwwMsgTextCount, 1);
  const TJwwEntMsgText& t = m.JwwMsgTexts[0];
  EXPECT_EQ(t.Color, 5);
  EXPECT_EQ(t.Frame.X1, 0);
  EXPECT_EQ(t.Frame.X2, 10);
  EXPECT_EQ(t.Frame.Y2, 10);
  EXPECT_EQ(t.Frame.Color, 5);
  EXPECT_EQ(t.Frame.PolylineNo, 0);
  EXPECT_EQ(t.Body.TextKind, 2);
  EXPECT_EQ(t.Body.Color, 2);  // the style's colour
  EXPECT_EQ(t.Body.Text, "note");
  EXPECT_FALSE(m.JwwState.MsgMode);
}

TEST(TransferRules, FramedTextWithoutItsOwnFrameUsesTheLastOne) {
  const TJwwGaibu fresh = ReadTransferText("msg\ncs 1 2 3 0 a\n");
  ASSERT_EQ(fresh.JwwMsgTextCount, 1);
  EXPECT_EQ(fresh.JwwMsgTexts[0].Frame, TJwwState::DefaultMsgFrame());

  const TJwwGaibu kept = ReadTransferText("msg\n0 0 10 10\ncs 1 2 3 0 a\nmsg\ncs 1 2 3 0 b\n");
  ASSERT_EQ(kept.JwwMsgTextCount, 2);
  EXPECT_EQ(kept.JwwMsgTexts[1].Frame.X2, 10);
}

TEST(TransferRules, MessageModeEnds) {
  // Another text kind makes a plain text and ends the mode.
  TJwwGaibu m = ReadTransferText("msg\nch 0 0 1 0 a\ncs 0 0 1 0 b\n");
  EXPECT_EQ(m.JwwTextCount, 2);
  EXPECT_EQ(m.JwwMsgTextCount, 0);
  // "pl" ends it; the frame line then becomes a polyline line.
  m = ReadTransferText("msg\npl\n0 0 1 1\ncs 0 0 1 0 b\n");
  EXPECT_EQ(m.JwwLineCount, 1);
  EXPECT_EQ(m.JwwLines[0].PolylineNo, 1);
  EXPECT_EQ(m.JwwTextCount, 1);
  // Attribute lines do not end it.
  m = ReadTransferText("msg\nlc3\n0 0 1 1\ncs 0 0 1 0 b\n");
  EXPECT_EQ(m.JwwMsgTextCount, 1);
  EXPECT_EQ(m.JwwLineCount, 0);
}

TEST(TransferRules, ThreeCornerSolidReduction) {
  TJwwGaibu m = ReadTransferText("sl 1 1 4 1 4 1\n");  // P2 = P3
  ASSERT_EQ(m.JwwSolid2Count, 1);
  EXPECT_EQ(m.JwwSolid2s[0].X2, 4);
  m = ReadTransferText("sl 1 1 1 1 4 2\n");  // P1 = P2
  ASSERT_EQ(m.JwwSolid2Count, 1);
  EXPECT_EQ(m.JwwSolid2s[0].Y2, 2);
  m = ReadTransferText("sl 1 1 2 2 1 1\n");  // P1 = P3 is not looked at
  EXPECT_EQ(m.JwwSolid3Count, 1);
}

TEST(TransferRules, FourCornerSolidReduction) {
  struct Expect {
    std::string_view corners;
    int32_t kind;
    std::vector<double> points;
  };
  const Expect cases[] = {
      {"0 0 0 0 0 0 5 5", ekSolid2, {0, 0, 5, 5}},        // 1: P1 = P2 = P3
      {"0 0 5 5 5 5 5 5", ekSolid2, {0, 0, 5, 5}},        // 2: P2 = P3 = P4
      {"0 0 0 0 5 5 5 5", ekSolid2, {0, 0, 5, 5}},        // 3: P1 = P2, P3 = P4
      {"0 0 5 0 5 5 0 0", ekSolid3, {0, 0, 5, 0, 5, 5}},  // 4: P4 = P1
      {"0 0 5 0 5 5 5 0", ekSolid3, {0, 0, 5, 0, 5, 5}},  // 4: P4 = P2
      {"0 0 5 0 0 0 9 9", ekSolid3, {0, 0, 5, 0, 9, 9}},  // 5: P3 = P1
      {"0 0 0 0 5 5 9 9", ekSolid3, {0, 0, 5, 5, 9, 9}},  // 6: P2 = P1
      {"0 0 5 0 5 5 0 5", ekSolid4, {0, 0, 5, 0, 5, 5, 0, 5}},
      {"0 0 1e-11 0 5 5 0 5", ekSolid3, {0, 0, 5, 5, 0, 5}},  // within the tolerance
      {"0 0 2e-10 0 5 5 0 5", ekSolid4, {0, 0, 2e-10, 0, 5, 5, 0, 5}},
  };
  for (const auto& c : cases) {
    const TJwwGaibu m = ReadTransferText("lc10 255\nsl " + std::string(c.corners) + "\n");
    ASSERT_EQ(m.JwwOrderCount, 1) << c.corners;
    EXPECT_EQ(m.JwwOrder[0].EntityKind, c.kind) << c.corners;
    std::vector<double> got;
    int32_t ext = -1;
    if (c.kind == ekSolid2) {
      const auto& s = m.JwwSolid2s[0];
      got = {s.X1, s.Y1, s.X2, s.Y2};
      ext = s.ExtColor;
    } else if (c.kind == ekSolid3) {
      const auto& s = m.JwwSolid3s[0];
      got = {s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3};
      ext = s.ExtColor;
    } else {
      const auto& s = m.JwwSolid4s[0];
      got = {s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3, s.X4, s.Y4};
      ext = s.ExtColor;
    }
    EXPECT_EQ(got, c.points) << c.corners;
    EXPECT_EQ(ext, 255) << c.corners;
  }
}

TEST(TransferRules, ArcSolidFields) {
  const TJwwGaibu m =
      ReadTransferText("sc 1 2 3 0.5 0.1 0.2 0.3 5\nso 1 2 3 0.5 0.1 0.2 0.3 1.5\n");
  ASSERT_EQ(m.JwwSolidScCount, 1);
  EXPECT_EQ(m.JwwSolidScs[0].ShapeParam, 5);
  EXPECT_EQ(m.JwwSolidScs[0].Sweep, 0.3);
  ASSERT_EQ(m.JwwSolidSoCount, 1);
  EXPECT_EQ(m.JwwSolidSos[0].InnerRadius, 1.5);
}

TEST(TransferRules, EntityLinesEndPolylineAndKeepAttributes) {
  const TJwwGaibu m = ReadTransferText("lc3\nlt2\npl\n0 0 1 1\nsl 0 0 1 1\n1 1 2 2\n");
  EXPECT_EQ(m.JwwLines[1].PolylineNo, 0);
  EXPECT_EQ(m.JwwSolid2s[0].Color, 3);
  EXPECT_EQ(m.JwwSolid2s[0].LineType, 2);
  EXPECT_EQ(Counts(m), (std::vector<int32_t>{2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(TransferRules, OrderListFollowsTheFile) {
  const TJwwGaibu m = ReadTransferText("0 0 1 1\nci 0 0 1\n1 1 2 2\nBL 0 0 b\npt 1 1\n");
  const std::vector<TJwwOrderItem> expected = {
      {ekLine, 0}, {ekCircle, 0}, {ekLine, 1}, {ekBlock, 0}, {ekPoint, 0}};
  ASSERT_EQ(m.JwwOrderCount, 5);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(m.JwwOrder[i], expected[i]) << i;
}

}  // namespace
}  // namespace pikrotta
