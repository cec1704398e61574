#include <cstring>
#include <map>
#include <numbers>

#include "gra_test_util.h"
#include "image_ref.h"
#include "transfer_test_util.h"

namespace pikrotta {
namespace {

class DrawPass : public test::GraTest {
 protected:
  void Load(std::string_view text) { Model = test::ReadTransferText(text); }
  // Index of the first call of a kind, or -1.
  int FirstOf(TCallKind kind) const {
    for (size_t i = 0; i < Canvas.Calls.size(); ++i)
      if (Canvas.Calls[i].Kind == kind) return static_cast<int>(i);
    return -1;
  }
  static std::string Lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "0 " + std::to_string(i) + " 1 " + std::to_string(i) + "\n";
    return s;
  }
};

TEST_F(DrawPass, PollsEscBeforeEachTableAndEveryTenthRecord) {
  Load(Lines(25));
  EXPECT_TRUE(Gra.DrawAllEntities(Canvas));
  // Before tables 2 to 15 (14 polls) and after lines 0, 10 and 20.
  EXPECT_EQ(Keys.Polls, 17);
}

TEST_F(DrawPass, EscStopsAtTheFirstPollItReaches) {
  Load(Lines(25));
  Keys.DownAfterPolls = 8;  // down from the poll after line 0
  EXPECT_FALSE(Gra.DrawAllEntities(Canvas));
  EXPECT_EQ(Canvas.Count(TCallKind::LineTo), 1u);
  EXPECT_EQ(Keys.Polls, 9);
}

TEST_F(DrawPass, EscHeldFromTheStart) {
  Load("ch 0 0 10 0 ^@BMa.bmp,20,20\nch 0 0 10 0 ^@BMb.bmp,20,20\n0 0 1 1\n");
  Keys.DownAfterPolls = 0;
  EXPECT_FALSE(Gra.DrawAllEntities(Canvas));
  EXPECT_EQ(Canvas.Count(TCallKind::Rectangle), 1u);  // the first text's frame, then the poll
  EXPECT_EQ(Keys.Polls, 1);

  Load("0 0 1 1\n");  // no texts: the first poll is before the two-point solids
  Keys.Polls = 0;
  Canvas.Calls.clear();
  EXPECT_FALSE(Gra.DrawAllEntities(Canvas));
  EXPECT_TRUE(Canvas.Calls.empty());
  EXPECT_EQ(Keys.Polls, 1);
}

TEST_F(DrawPass, FillsComeBeforeLinesAndTheBrushIsClearedBetween) {
  Load("0 0 10 10\nsl 0 0 10 0 10 10\n");
  Gra.DrawAllEntities(Canvas);
  const int polygon = FirstOf(TCallKind::Polygon);
  const int line = FirstOf(TCallKind::LineTo);
  ASSERT_GE(polygon, 0);
  EXPECT_LT(polygon, line);
  EXPECT_EQ(Canvas.Calls[polygon].Brush.Style, bsSolid);
  EXPECT_EQ(Canvas.Brush.Style, bsClear);
}

TEST_F(DrawPass, SolidColours) {
  Load("lc10 12345\nsl 0 0 10 0 10 10\nlc3\nsl 0 0 10 0 10 10\n");
  Gra.DrawAllEntities(Canvas);
  const auto polygons = CallsOf(TCallKind::Polygon);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].Pen, (TPen{12345, 0, psSolid, pmCopy}));
  EXPECT_EQ(polygons[0].Brush, (TBrush{12345, bsSolid}));
  EXPECT_EQ(polygons[1].Brush, (TBrush{MakeColor(0, 192, 0), bsSolid}));
}

TEST_F(DrawPass, RingSolidsOfBothKeysDrawAlike) {
  Load("so 0 0 20 1 0 0 1.5 10\n");
  Gra.DrawAllEntities(Canvas);
  const auto so = Canvas.Calls;
  Canvas.Calls.clear();
  Load("sg 0 0 20 1 0 0 1.5 10\n");
  Gra.DrawAllEntities(Canvas);
  ASSERT_EQ(Canvas.Calls.size(), so.size());
  EXPECT_EQ(Canvas.Calls[0].Args, so[0].Args);
  EXPECT_EQ(Canvas.Calls[0].Args.size(), 146u * 2);
}

TEST_F(DrawPass, ArcsRunCounterClockwiseFromTheStart) {
  Load("ci 0 0 20 350 10 1 0\n");
  Gra.DrawAllEntities(Canvas);
  const auto lines = CallsOf(TCallKind::LineTo);
  ASSERT_EQ(lines.size(), 72u);
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{697, 535}));  // 350 degrees
  EXPECT_EQ(lines.back().Args, (std::vector<int32_t>{697, 465}));     // 10 degrees
  Canvas.Calls.clear();
  Load("ci 0 0 20 30 30 0.5 90\n");  // equal angles: the whole ellipse, flattened and turned
  Gra.DrawAllEntities(Canvas);
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{500, 300}));
  EXPECT_EQ(CallsOf(TCallKind::LineTo).back().Args, (std::vector<int32_t>{500, 300}));
}

TEST_F(DrawPass, LineTypesColoursAndGroupScale) {
  Load("lc9\nlt9\n0 0 10 0\nhs 1 50 1 1 1 1 1 1 1 1 1 1 1 1 1 1\nlg1\nlt1\n0 0 500 0\n");
  Gra.DrawAllEntities(Canvas);
  const auto lines = CallsOf(TCallKind::LineTo);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].Pen, (TPen{MakeColor(255, 128, 255), 0, psDot, pmCopy}));
  EXPECT_EQ(lines[1].Args, (std::vector<int32_t>{600, 500}));  // 500 / 50 = 10 mm
  Model.NoScale = true;
  Canvas.Calls.clear();
  Gra.DrawAllEntities(Canvas);
  EXPECT_EQ(CallsOf(TCallKind::LineTo)[1].Args, (std::vector<int32_t>{1000, 500}));  // clipped
}

TEST_F(DrawPass, ImageReferenceFrames) {
  Load("ch 10 10 30 0 ^@BMa.bmp,20,-30\nch 0 0 30 0 ^@BMnocomma.bmp\nch 0 0 30 0 ^@bma.bmp,9\n");
  Canvas.Calls.clear();
  for (int32_t i = 0; i < Model.JwwTextCount; ++i) Gra.DrawImageRefFrame(Canvas, Model.JwwTexts[i]);
  ASSERT_EQ(Canvas.Calls.size(), 1u);
  EXPECT_EQ(Canvas.Calls[0].Kind, TCallKind::Rectangle);
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{600, 400, 800, 700}));
  EXPECT_EQ(Canvas.Calls[0].Brush, (TBrush{0, bsBDiagonal}));  // style 1: pen 2, black
}

// Notes each picture stretched over a frame: its rectangle and the picture's width.
class TPictureCanvas : public TRecordingCanvas {
 public:
  void StretchDraw(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                   const TBitmap& picture) override {
    Stretched.push_back({x1, y1, x2, y2, picture.Width()});
  }
  std::vector<std::vector<int32_t>> Stretched;
};

class TPicturesByName : public TFramePictures {
 public:
  const TBitmap* PictureOf(const TJwwEntText& text) const override {
    const auto it = Pictures.find(ParseImageRef(text.Text).ImagePath);
    return it == Pictures.end() ? nullptr : &it->second;
  }
  std::map<std::string, TSizeOnlyBitmap> Pictures;
};

TEST_F(DrawPass, PicturesLieUprightOverTheirFramesWhenTheShellHasThem) {
  Load(
      "ch 10 10 30 0 ^@BMdown.bmp,20,-30\nch 10 10 30 0 ^@BMup.bmp,20,30\n"
      "ch 90000 0 30 0 ^@BMfar.bmp,5\nch 0 0 30 0 ^@BMnone.bmp,5\nch 0 0 30 0 x\n");
  TPicturesByName pictures;
  for (const char* name : {"down.bmp", "up.bmp", "far.bmp"})
    pictures.Pictures.try_emplace(name, static_cast<int32_t>(std::strlen(name)), 1);
  TPictureCanvas canvas;
  Gra.DrawAllEntities(canvas);
  EXPECT_TRUE(canvas.Stretched.empty());  // the window draws frames only
  Gra.FramePictures = &pictures;
  Gra.DrawAllEntities(canvas);
  // Over the hatched frame of the first, drawn downwards; the far one is out of the view.
  EXPECT_EQ(canvas.Stretched,
            (std::vector<std::vector<int32_t>>{{600, 400, 800, 700, 8}, {600, 100, 800, 400, 6}}));
  EXPECT_EQ(canvas.Count(TCallKind::Rectangle), 2u * 3);  // the frames in the view, each time
}

TEST_F(DrawPass, SearchPrefixCountsAndMarks) {
  Load(
      "hs 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1\nlg1\nch 20 0 30 0 ^@BMa.bmp,5\n"
      "ch 0 0 30 0 ^@BMb.bmp,5\nch 0 0 30 0 plain\nmsg\ncs 0 0 30 0 ^@BMc.bmp,5\n");
  Gra.DrawAllEntities(Canvas);
  EXPECT_EQ(Gra.ImageRefTextCount, 0);  // no search yet
  Canvas.Calls.clear();
  Gra.MarkImageRefs(Canvas, 1);
  EXPECT_TRUE(Canvas.Calls.empty());

  Gra.SearchPrefix = "^@BM";
  Canvas.Calls.clear();
  Gra.DrawAllEntities(Canvas);
  EXPECT_EQ(Gra.ImageRefTextCount, 2);  // framed texts are not counted
  Canvas.Calls.clear();
  Gra.MarkImageRefs(Canvas, 1);
  const auto chords = CallsOf(TCallKind::LineTo);
  ASSERT_EQ(chords.size(), 144u);
  EXPECT_EQ(chords[0].Pen, (TPen{0x0000FF, 3, psSolid, pmCopy}));
  // Around the stored point (20, 0), not the drawn one (10, 0).
  EXPECT_EQ(Canvas.Calls[0].Args, (std::vector<int32_t>{710, 500}));
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

class DrawPassMarks : public DrawPass {};

// The marks poll before the first text too: with Esc held nothing is circled.
TEST_F(DrawPassMarks, EscHeldBeforeTheMarksDrawsNone) {
  Load("ch 0 0 30 0 ^@BMa.bmp,5\n");
  Gra.SearchPrefix = "^@BM";
  Keys.DownAfterPolls = 0;
  Gra.MarkImageRefs(Canvas, 1);
  EXPECT_TRUE(Canvas.Calls.empty());
  EXPECT_EQ(Keys.Polls, 1);
}

// Circles whose centre lies beyond an edge but which reach into the view are drawn; those
// wholly beyond it are skipped. The view is (-50, -50)..(50, 50).
TEST_F(DrawPassMarks, CurvesBeyondOneEdge) {
  const struct {
    double cx, cy;
    bool drawn;
    double flatness = 1;
  } cases[] = {{-55, 0, true},
               {-65, 0, false},
               {55, 0, true},
               {65, 0, false},
               {0, -55, true},
               {0, -65, false},
               {0, 55, true},
               {0, 65, false},
               // Reaching in by one unit only, and a second axis twice the first.
               {-59, 0, true},
               {59, 0, true},
               {0, -59, true},
               {0, 59, true},
               {0, -69, true, 2},
               {0, 69, true, 2},
               {-65, 0, false, 2}};
  for (const auto& c : cases) {
    Canvas.Calls.clear();
    Gra.DrawWorldEllipse(Canvas, c.cx, c.cy, 10, c.flatness, 0);
    EXPECT_EQ(Canvas.Count(TCallKind::LineTo) > 0, c.drawn) << c.cx << ", " << c.cy;
    Canvas.Calls.clear();
    Gra.DrawWorldArc(Canvas, c.cx, c.cy, 10, c.flatness, 0, 0, 2 * std::numbers::pi);
    EXPECT_EQ(Canvas.Count(TCallKind::LineTo) > 0, c.drawn) << c.cx << ", " << c.cy;
  }
}

}  // namespace
}  // namespace pikrotta
