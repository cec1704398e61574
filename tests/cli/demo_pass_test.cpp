// Properties of the whole drawing pass over the demo drawing, beside its golden trace: what
// matters in it, said once, so that a reviewed golden file is not the only net.
#include <gtest/gtest.h>

#include <algorithm>

#include "gra_test_util.h"
#include "platform_host.h"
#include "transfer_reader.h"

namespace pikrotta {
namespace {

class DemoPass : public ::testing::Test, protected test::TDrawing {
 protected:
  void SetUp() override {
    const std::unique_ptr<TInputFile> file = OpenNativeFile(PIKROTTA_DEMO_FILE);
    ASSERT_TRUE(file && ReadTransferFile(Model, *file));
    View.FitToWindow(Model, 800, 600);
    Gra.SearchPrefix = "^@BM";
    ASSERT_TRUE(Gra.DrawAllEntities(Canvas));
    Gra.MarkImageRefs(Canvas, 10 / View.ViewScale);
  }
};

TEST_F(DemoPass, EveryLineIsAMoveALineAndItsEndPixel) {
  const auto& calls = Canvas.Calls;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].Kind != TCallKind::LineTo) continue;
    ASSERT_GT(i, 0u);
    ASSERT_LT(i + 1, calls.size());
    EXPECT_EQ(calls[i - 1].Kind, TCallKind::MoveTo) << i;
    EXPECT_EQ(calls[i + 1].Kind, TCallKind::SetPixel) << i;
    EXPECT_EQ(calls[i + 1].Args[0], calls[i].Args[0]) << i;
    EXPECT_EQ(calls[i + 1].Args[1], calls[i].Args[1]) << i;
    EXPECT_EQ(calls[i + 1].Args[2], calls[i].Pen.Color) << i;
  }
}

TEST_F(DemoPass, FramesAndFillsComeFirstAndMarksLast) {
  const auto& calls = Canvas.Calls;
  // Seven hatched frames, the first calls of the pass.
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(calls[i].Kind, TCallKind::Rectangle) << i;
    EXPECT_EQ(calls[i].Brush.Style, bsBDiagonal) << i;
  }
  // Every filled polygon of the solids comes before the first text.
  const auto firstText = std::find_if(calls.begin(), calls.end(), [](const TCanvasCall& c) {
    return c.Kind == TCallKind::TextOut;
  });
  const auto solidFills = std::count_if(calls.begin(), firstText, [](const TCanvasCall& c) {
    return c.Kind == TCallKind::Polygon && c.Brush.Color == 0xC0C0C0;
  });
  EXPECT_EQ(solidFills, 3);
  // Seven circles of 72 red chords, three pixels wide, close the pass.
  const auto marks = std::count_if(calls.begin(), calls.end(), [](const TCanvasCall& c) {
    return c.Kind == TCallKind::LineTo && c.Pen.Color == 0x0000FF && c.Pen.Width == 3;
  });
  EXPECT_EQ(marks, 7 * 72);
  EXPECT_EQ(calls.back().Kind, TCallKind::SetPixel);
  EXPECT_EQ(calls.back().Args[2], 0x0000FF);
  EXPECT_EQ(Gra.ImageRefTextCount, 7);
}

TEST_F(DemoPass, TextsLandInsideThePaintAreaInTheirColours) {
  size_t characters = 0;
  for (const TCanvasCall& c : Canvas.Calls) {
    if (c.Kind != TCallKind::TextOut) continue;
    ++characters;
    // A cell's corner may lie outside only by the cell's own size.
    EXPECT_GE(c.Args[0], -c.Font.Height) << c.Text;
    EXPECT_LE(c.Args[0], 800 + c.Font.Height) << c.Text;
    EXPECT_GE(c.Args[1], -c.Font.Height) << c.Text;
    EXPECT_LE(c.Args[1], 600 + c.Font.Height) << c.Text;
    EXPECT_EQ(c.Font.Color, c.Pen.Color) << c.Text;
    EXPECT_EQ(c.Brush.Style, bsClear) << c.Text;
  }
  EXPECT_GT(characters, 300u);
}

}  // namespace
}  // namespace pikrotta
