#include "main_window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fake_host.h"

namespace pikrotta {
namespace {

using test::TFakeControls;
using test::TFakeHost;

// A window started as the program starts it, with an optional transfer file beside it.
class MainWindow : public ::testing::Test {
 protected:
  void Start(std::string_view transferText = {}) {
    if (!transferText.empty()) Host.Files["C:\\TOOLS\\JWC_TEMP.TXT"] = transferText;
    Form.FormCreate();
    Form.FormShow();
  }
  size_t Compositions() const { return Controls.Canvas.Count(TCallKind::CopyToBitmap); }
  // The drawing point under a paint-area pixel.
  std::pair<double, double> At(int32_t x, int32_t y) const {
    return {Form.View.ScreenToWorldX(x), Form.View.ScreenToWorldY(y)};
  }
  void TwoButtonDrag(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Form.PaintBox1MouseDown(kButtonLeft, x1, y1);
    Form.PaintBox1MouseDown(kButtonRight, x1 + 1, y1 + 1);  // the second button: press point stays
    Form.PaintBox1MouseMove(x2, y2);
    Form.PaintBox1MouseUp(x2, y2);
  }

  TFakeHost Host;
  TFakeControls Controls;
  TForm1 Form{Controls, Host};
};

TEST_F(MainWindow, StartsWithoutATransferFile) {
  Start();
  EXPECT_EQ(Controls.Caption(TLabel::Label2), texts::kNewDrawing);
  EXPECT_EQ(Controls.Caption(TLabel::Label3), "");
  EXPECT_EQ(Controls.Caption(TLabel::Label4), "---");
  EXPECT_EQ(Controls.Caption(TLabel::Label5), "---");
  EXPECT_EQ(Controls.Bounds, (TWindowBounds{0, 0, 475, 475}));  // no settings file
  EXPECT_EQ(Controls.Panel, 200);
  EXPECT_TRUE(Form.ViewReady);
  EXPECT_EQ(Form.View.ExtentLeft, -100);  // an empty drawing
  EXPECT_EQ(Host.Urls, (std::vector<std::string>{"https://ventro.example/pr/"}));
  EXPECT_EQ(Compositions(), 0u);  // the first paint composes
}

// The window that reads its drawing while shown: the same captions, fit and view as FormShow,
// and a search of the drawing handed over.
TEST_F(MainWindow, ADrawingReadElsewhereShowsAsFormShowShowsIt) {
  const std::string text = "file=C:\\d\\a.jww\n0 0 100 50\nch 10 10 5 0 ^@BMa.bmp,3,3\n";
  Host.Files["C:\\TOOLS\\JWC_TEMP.TXT"] = text;
  Start();
  const TView shown = Form.View;

  TFakeHost otherHost;
  otherHost.Files["C:\\TOOLS\\JWC_TEMP.TXT"] = text;
  TFakeControls otherControls;
  TForm1 other{otherControls, otherHost};
  other.FormCreate();
  other.PlaceWindow();
  EXPECT_EQ(other.TransferFilePath(), "C:\\TOOLS\\JWC_TEMP.TXT");
  EXPECT_FALSE(other.ViewReady);
  TJwwGaibu model;
  ASSERT_TRUE(ReadTransferFile(model, otherHost, other.TransferFilePath()));
  other.ShowReadDrawing(std::move(model));
  other.OpenPromotion();
  EXPECT_TRUE(other.ViewReady);
  EXPECT_EQ(otherControls.Captions, Controls.Captions);
  EXPECT_EQ(other.View.ViewScale, shown.ViewScale);
  EXPECT_EQ(other.View.ViewLeft, shown.ViewLeft);
  EXPECT_EQ(other.View.ViewTop, shown.ViewTop);
  EXPECT_EQ(otherHost.Urls, Host.Urls);
  other.Button2Click();
  ASSERT_EQ(otherControls.Rows.size(), 2u);
  EXPECT_EQ(otherControls.Rows[1], std::string("a.bmp") + texts::kMarkMissing);
}

TEST(ReadingProgress, PercentOfTheFileWhenItsLengthIsKnown) {
  const std::string reading = texts::kReading;
  const struct {
    int64_t Read, Size;
    std::string Text;
  } cases[] = {
      {0, 1000, reading + " 0 %"},
      {420, 1000, reading + " 42 %"},
      {999, 1000, reading + " 99 %"},
      {1000, 1000, reading + " 100 %"},
      {5000, 1000, reading + " 100 %"},
      {100, 100, reading + " 100 %"},
      {int64_t{1} << 40, int64_t{1} << 41, reading + " 50 %"},
      {5, -1, reading},
      {5, 0, reading},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadingProgressText(c.Read, c.Size), c.Text) << c.Read << " of " << c.Size;
}

TEST_F(MainWindow, StartsWithADrawingAndComposesOnTheFirstPaintOnly) {
  Host.Registry = "\"C:\\JWW\\Jw_win.exe\" \"%1\"";
  Host.Files["C:\\TOOLS\\pikrotta.dat"] = "10\r\n20\r\n700\r\n500\r\n150\r\n";
  Start("file=C:\\work\\a.jww\n0 0 100 50\nci 50 25 10\n");
  EXPECT_EQ(Controls.Caption(TLabel::Label2), "C:\\work\\a.jww");
  EXPECT_EQ(Controls.Caption(TLabel::Label3), "C:\\JWW\\Jw_win.exe");
  EXPECT_EQ(Controls.Bounds, (TWindowBounds{10, 20, 700, 500}));
  EXPECT_EQ(Controls.Panel, 150);
  Form.PaintBox1Paint(Controls.Canvas);
  EXPECT_EQ(Compositions(), 1u);
  ASSERT_FALSE(Controls.Canvas.Calls.empty());
  EXPECT_EQ(Controls.Canvas.Calls[0].Args, (std::vector<int32_t>{0, 0, 400, 300}));  // background
  EXPECT_EQ(Controls.Canvas.Calls[1].Pen.Color, MakeColor(0, 255, 255));             // the frame
  Form.PaintBox1Paint(Controls.Canvas);
  EXPECT_EQ(Compositions(), 1u);
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::BitBlt), 1u);
  EXPECT_EQ(Controls.Shown, 1);  // the composition is shown; a paint request shows itself
}

// A paint request brings its own canvas: the repaint goes there, never to the paint area.
TEST_F(MainWindow, RepaintDrawsOnTheCanvasOfThePaintRequest) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  const size_t before = Controls.Canvas.Calls.size();
  TRecordingCanvas request;
  Form.PaintBox1Paint(request);
  EXPECT_EQ(Controls.Canvas.Calls.size(), before);
  ASSERT_EQ(request.Count(TCallKind::BitBlt), 1u);
  EXPECT_EQ(request.Calls[0].Args, (std::vector<int32_t>{0, 0, 400, 300}));
}

TEST_F(MainWindow, WheelAtTheTopLeftCornerKeepsThatPointFixed) {
  Start("0 0 100 50\n1 1 2 2\n");
  const auto before = At(0, 0);
  const double scale = Form.View.ViewScale;
  EXPECT_TRUE(Form.FormMouseWheelDown({0, 0}));
  EXPECT_DOUBLE_EQ(Form.View.ViewScale, scale * 1.5);
  EXPECT_NEAR(At(0, 0).first, before.first, 1e-9);
  EXPECT_NEAR(At(0, 0).second, before.second, 1e-9);
  EXPECT_EQ(Controls.Focused, 1);
  EXPECT_TRUE(Form.FormMouseWheelUp({0, 0}));
  EXPECT_NEAR(Form.View.ViewScale, scale, 1e-12);
  EXPECT_FALSE(Form.FormMouseWheelDown({401, 10}));  // outside the paint area
  EXPECT_NEAR(Form.View.ViewScale, scale, 1e-12);
}

// Wheels report turns in parts of a notch (120). Only whole notches zoom, one step each,
// towards the user in, away out; the rest waits for the next turn.
TEST_F(MainWindow, WheelTurnsAddUpToWholeNotches) {
  Start("0 0 100 50\n1 1 2 2\n");
  const double scale = Form.View.ViewScale;
  struct {
    int32_t Delta;
    double Steps;  // zoom steps after this turn, from the start
  } const turns[] = {{-40, 0}, {-40, 0}, {-40, 1}, {-240, 3}, {+100, 3}, {+20, 2}, {+360, -1}};
  for (const auto& turn : turns) {
    Form.FormMouseWheel(turn.Delta, {10, 10});
    EXPECT_NEAR(std::log(Form.View.ViewScale / scale) / std::log(1.5), turn.Steps, 1e-9)
        << "after " << turn.Delta;
  }
  EXPECT_FALSE(Form.FormMouseWheel(-120, {-1, 10}));  // outside the paint area
  EXPECT_NEAR(std::log(Form.View.ViewScale / scale) / std::log(1.5), -1, 1e-9);
}

TEST_F(MainWindow, PageUpThenPageDownReturnsToTheSameScale) {
  Start("0 0 100 50\n1 1 2 2\n");
  const TView before = Form.View;
  EXPECT_TRUE(Form.FormKeyDown(kVkPageUp, false));
  EXPECT_DOUBLE_EQ(Form.View.ViewScale, before.ViewScale * 1.5);
  EXPECT_TRUE(Form.FormKeyDown(kVkPageDown, false));
  EXPECT_NEAR(Form.View.ViewScale, before.ViewScale, 1e-12);
  EXPECT_NEAR(Form.View.ViewLeft, before.ViewLeft, 1e-9);
  EXPECT_FALSE(Form.FormKeyDown('A', false));
  EXPECT_TRUE(Form.FormKeyDown(kVkEscape, false));
}

TEST_F(MainWindow, ArrowsPanOnlyWithTheCursorInside) {
  Start("0 0 100 50\n1 1 2 2\n");
  const TView before = Form.View;
  const double width = before.ViewRight - before.ViewLeft;
  EXPECT_TRUE(Form.FormKeyDown(kVkRight, false));
  EXPECT_NEAR(Form.View.ViewLeft, before.ViewLeft + width / 2, 1e-9);
  EXPECT_TRUE(Form.FormKeyDown(kVkLeft, true));  // Shift: a tenth of the width
  EXPECT_NEAR(Form.View.ViewLeft, before.ViewLeft + width / 2 - width / 10, 1e-9);
  Controls.Cursor = {400, 300};  // on the edge: still inside
  EXPECT_TRUE(Form.FormKeyDown(kVkUp, false));
  EXPECT_GT(Form.View.ViewBottom, before.ViewBottom);
  const TView inside = Form.View;
  Controls.Cursor = {-1, 10};
  EXPECT_TRUE(Form.FormKeyDown(kVkDown, false));  // handled, nothing happens
  EXPECT_EQ(Form.View.ViewBottom, inside.ViewBottom);
}

TEST_F(MainWindow, TwoButtonDragsFollowJwcad) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  const TView fitted = Form.View;

  // 4 pixels right and 40 down: at most 5 pixels wide, so centre on the press point.
  const auto press = At(100, 100);
  TwoButtonDrag(100, 100, 104, 140);
  EXPECT_NEAR((Form.View.ViewLeft + Form.View.ViewRight) / 2, press.first, 1e-9);
  EXPECT_NEAR((Form.View.ViewBottom + Form.View.ViewTop) / 2, press.second, 1e-9);
  EXPECT_EQ(Form.ButtonFlags, 0);

  // Right and down: zoom to the rectangle.
  Form.FormKeyDown(kVkHome, false);
  const auto corner1 = At(100, 100), corner2 = At(200, 150);
  TwoButtonDrag(100, 100, 200, 150);
  EXPECT_NEAR(
      Form.View.ViewScale,
      std::min(400 / (corner2.first - corner1.first), 300 / (corner1.second - corner2.second)),
      1e-9);

  // Left and up: half the scale, whatever the rectangle.
  const double scale = Form.View.ViewScale;
  TwoButtonDrag(200, 150, 100, 20);
  EXPECT_NEAR(Form.View.ViewScale, scale / 2, 1e-9);

  // Left and down twice: back to the view before the first.
  const TView beforeSwap = Form.View;
  TwoButtonDrag(200, 100, 100, 200);
  EXPECT_NE(Form.View.ViewScale, beforeSwap.ViewScale);
  TwoButtonDrag(200, 100, 100, 200);
  EXPECT_EQ(Form.View.ViewScale, beforeSwap.ViewScale);
  EXPECT_EQ(Form.View.ViewLeft, beforeSwap.ViewLeft);

  // Right and up: fit like Home.
  TwoButtonDrag(100, 200, 200, 100);
  EXPECT_DOUBLE_EQ(Form.View.ViewScale, fitted.ViewScale);
  EXPECT_DOUBLE_EQ(Form.View.ViewLeft, fitted.ViewLeft);
}

TEST_F(MainWindow, ALostCaptureEndsTheGestureWithoutActing) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  const TView fitted = Form.View;

  // Both buttons down and a band drawn; the capture goes: the band is erased, nothing zooms.
  Form.PaintBox1MouseDown(kButtonLeft, 100, 100);
  Form.PaintBox1MouseDown(kButtonRight, 101, 101);
  Form.PaintBox1MouseMove(200, 150);
  ASSERT_TRUE(Form.BandVisible);
  const size_t bandCalls = Controls.Canvas.Count(TCallKind::Rectangle);
  Form.PaintBox1CaptureLost();
  EXPECT_FALSE(Form.BandVisible);
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::Rectangle), bandCalls + 1);  // drawn again: erased
  EXPECT_EQ(Form.ButtonFlags, 0);
  // A plain move draws no band; a later left drag alone is no gesture.
  Form.PaintBox1MouseMove(250, 200);
  EXPECT_FALSE(Form.BandVisible);
  Form.PaintBox1MouseDown(kButtonLeft, 20, 20);
  Form.PaintBox1MouseMove(300, 250);
  Form.PaintBox1MouseUp(300, 250);
  EXPECT_EQ(Form.View.ViewScale, fitted.ViewScale);
  EXPECT_EQ(Form.View.ViewLeft, fitted.ViewLeft);

  // Mid-pan: the composed picture is put back and the view stays.
  Form.PaintBox1MouseDown(kButtonMiddle, 100, 100);
  Form.PaintBox1MouseMove(150, 120);
  const size_t blits = Controls.Canvas.Count(TCallKind::BitBlt);
  Form.PaintBox1CaptureLost();
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::BitBlt), blits + 1);
  EXPECT_FALSE(Form.PanBitmapValid);
  Form.PaintBox1MouseUp(150, 120);
  EXPECT_EQ(Form.View.ViewLeft, fitted.ViewLeft);
}

TEST_F(MainWindow, RubberBandIsDrawnInXorAndErasedByDrawingItAgain) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  Controls.Canvas.Calls.clear();
  Form.PaintBox1MouseDown(kButtonLeft | kButtonRight, 50, 50);
  Form.PaintBox1MouseMove(80, 90);
  Form.PaintBox1MouseMove(120, 100);
  const auto rects = [&] {
    std::vector<TCanvasCall> r;
    for (const auto& c : Controls.Canvas.Calls)
      if (c.Kind == TCallKind::Rectangle) r.push_back(c);
    return r;
  }();
  ASSERT_EQ(rects.size(), 3u);  // drawn, drawn again to erase, drawn at the new corner
  EXPECT_EQ(rects[0].Args, rects[1].Args);
  EXPECT_EQ(rects[2].Args, (std::vector<int32_t>{50, 50, 120, 100}));
  EXPECT_EQ(rects[0].Pen, (TPen{MakeColor(0, 255, 255), 3, psSolid, pmXor}));
  EXPECT_TRUE(Form.BandVisible);
  EXPECT_EQ(Controls.Shown, 1 + 3);  // the composition, then every band at once
}

TEST_F(MainWindow, MiddleButtonPanMovesTheDrawingWithTheMouse) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  const auto point = At(100, 100);
  Form.PaintBox1MouseDown(kButtonMiddle, 100, 100);
  EXPECT_TRUE(Form.PanBitmapValid);
  Form.PaintBox1MouseMove(150, 100);
  EXPECT_EQ(Controls.Canvas.Calls.back().Kind, TCallKind::BitBlt);
  EXPECT_EQ(Controls.Canvas.Calls.back().Args[0], 50);
  EXPECT_EQ(Controls.Shown, 2);  // the picture follows the mouse on the screen
  Form.PaintBox1MouseUp(200, 100);
  EXPECT_NEAR(At(200, 100).first, point.first, 1e-9);  // the pressed point is under the mouse
  EXPECT_FALSE(Form.PanBitmapValid);
}

TEST_F(MainWindow, ResizeSnapsToTheMinimumAndKeepsTheCentre) {
  Start("0 0 100 50\n1 1 2 2\n");
  const double cx = (Form.View.ViewLeft + Form.View.ViewRight) / 2;
  Controls.Bounds = {5, 5, 300, 100};
  Controls.PaintSize = {200, 50};
  Form.FormResize();
  EXPECT_EQ(Controls.Bounds, (TWindowBounds{5, 5, 475, 200}));
  EXPECT_EQ(Form.View.ViewWidth, 200);
  EXPECT_NEAR((Form.View.ViewLeft + Form.View.ViewRight) / 2, cx, 1e-9);
}

TEST_F(MainWindow, EscDuringCompositionKeepsTheHalfDrawnPicture) {
  std::string lines;
  for (int i = 0; i < 30; ++i)
    lines += "0 " + std::to_string(i) + " 100 " + std::to_string(i) + "\n";
  Start(lines);
  Host.Esc.DownAfterPolls = 8;  // down from the poll after the first line
  Form.PaintBox1Paint(Controls.Canvas);
  EXPECT_EQ(Compositions(), 1u);
  EXPECT_NE(Form.OffscreenBitmap, nullptr);
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::LineTo), 3u);  // the origin cross and one line
  Form.PaintBox1Paint(Controls.Canvas);  // later repaints show the same half-drawn copy
  EXPECT_EQ(Compositions(), 1u);
}

// Far-off drawings, zoomed and panned to the extremes: the view stays a view.
TEST(MainWindowFarOff, EveryGestureLeavesAFiniteView) {
  const char* drawings[] = {
      "pt 1.7e308 0\n",
      "ci 1e308 0 1e307\n0 0 10 10\n",
      "3e8 0 3.00001e8 10\n3e8 20 3.00001e8 30\n",
      "0 0 1e-300 1e-300\n",
  };
  for (const char* drawing : drawings) {
    test::TFakeHost host;
    test::TFakeControls controls;
    TForm1 form{controls, host};
    host.Files["C:\\TOOLS\\JWC_TEMP.TXT"] = drawing;
    form.FormCreate();
    form.FormShow();
    auto finite = [&](const char* after) {
      EXPECT_TRUE(form.View.IsFinite()) << drawing << " after " << after << ": scale "
                                        << form.View.ViewScale << ", right " << form.View.ViewRight;
    };
    finite("the fit");
    for (int i = 0; i < 2000; ++i) form.FormKeyDown(kVkPageUp, false);
    finite("zooming in");
    form.FormMouseWheel(-kWheelNotch, {200, 150});
    form.FormKeyDown(kVkLeft, false);
    finite("a wheel and a pan zoomed in");
    form.FormKeyDown(kVkHome, false);
    for (int i = 0; i < 2000; ++i) form.FormMouseWheel(kWheelNotch, {10, 10});
    finite("zooming out");
    form.FormKeyDown(kVkRight, true);
    form.FormKeyDown(kVkEnd, false);
    finite("a pan and a centring zoomed out");
  }
}

TEST_F(MainWindow, CloseSavesTheGeometryWithItsMinima) {
  Start();
  Controls.Bounds = {-20, 30, 400, 150};
  Controls.Panel = 50;
  Form.Button1Click();
  EXPECT_TRUE(Controls.Closed);
  Form.FormClose();
  EXPECT_EQ(Host.Files["C:\\TOOLS\\pikrotta.dat"], "-20\r\n30\r\n475\r\n200\r\n100\r\n");
  EXPECT_EQ(Form.JwwGaibu.JwwOrderCount, 0);
  EXPECT_TRUE(Form.SettingsSaved);
}

// A transfer file that is there but not read as it should be: what was read is shown, and the
// status line says what is wrong. Before, each of these showed its drawing without a word.
class TLockingHost : public test::TFakeHost {
 public:
  std::unique_ptr<TInputFile> OpenForReading(const std::string& path) const override {
    if (Locked && path.ends_with("JWC_TEMP.TXT")) return nullptr;
    return TFakeHost::OpenForReading(path);
  }
  bool Locked = false;
};

TEST(MainWindowReading, ATransferFileNotReadAsItShouldBeIsNamedInTheStatusLine) {
  const struct {
    std::string text;
    bool locked, failReads;
    const char* status;
    int32_t lines;
  } cases[] = {
      {"0 0 10 10\r\n5 5 6 6\r\n", false, false, "", 2},
      {"0 0 10 10\r\n5 5 6 6\r\n", true, false, texts::kTransferFileLocked, 0},
      {"0 0 10 10\r\n5 5 6 6\r\n7 7 8 8\r\n", false, true, texts::kTransferFileCut, 1},
      {"0 0 10 10\r5 5 6 6\r", false, false, texts::kTransferFileCrOnly, 0},
      {"\r\n", false, false, "", 0},  // empty, and says nothing: a drawing may be empty
  };
  for (const auto& c : cases) {
    TLockingHost host;
    test::TFakeControls controls;
    TForm1 form{controls, host};
    host.Files["C:\\TOOLS\\JWC_TEMP.TXT"] = c.text;
    host.Locked = c.locked;
    host.FailReads = c.failReads;
    form.FormCreate();
    form.FormShow();
    EXPECT_EQ(controls.Caption(TLabel::LabelA1), c.status) << c.text;
    EXPECT_EQ(form.JwwGaibu.JwwLineCount, c.lines) << c.text;
  }
}

// A panel saved wider than its window (by hand, or by a window since made smaller) is opened
// and saved again within the window, so the paint area cannot be lost for good.
TEST_F(MainWindow, APanelWiderThanItsWindowIsHeldWithinIt) {
  Host.Files["C:\\TOOLS\\pikrotta.dat"] = "10\r\n20\r\n700\r\n500\r\n1000000\r\n";
  Start();
  EXPECT_EQ(Controls.Panel, 600);
  Controls.Bounds = {10, 20, 500, 400};
  Controls.Panel = 480;
  Form.FormClose();
  EXPECT_EQ(Host.Files["C:\\TOOLS\\pikrotta.dat"], "10\r\n20\r\n500\r\n400\r\n400\r\n");
}

TEST_F(MainWindow, ACloseWhoseSaveFailsSaysSo) {
  Start();
  Host.FailWrites = true;
  Form.FormClose();
  EXPECT_FALSE(Form.SettingsSaved);
  EXPECT_EQ(Host.Files.count("C:\\TOOLS\\pikrotta.dat"), 0u);
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

class MainWindowViews : public MainWindow {
 protected:
  // Two pixels per mm with the paint area's top-left corner at the origin, so that pixel
  // distances convert to drawing units exactly.
  void ExactView() {
    Form.View.ViewScale = 2;
    Form.View.ViewWidth = 400;
    Form.View.ViewHeight = 300;
    Form.View.CentreAt(100, -75);
  }
  static void ExpectPrevious(const TView& now, const TView& before) {
    EXPECT_EQ(now.PrevViewScale, before.ViewScale);
    EXPECT_EQ(now.PrevViewLeft, before.ViewLeft);
    EXPECT_EQ(now.PrevViewBottom, before.ViewBottom);
    EXPECT_EQ(now.PrevViewRight, before.ViewRight);
    EXPECT_EQ(now.PrevViewTop, before.ViewTop);
  }
};

TEST_F(MainWindowViews, InsertAndEndCentreOnTheExtentsOfTheLastFit) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.FormKeyDown(kVkPageUp, false);  // a scale of its own, not the fit's
  for (const int32_t key : {kVkInsert, kVkEnd}) {
    Form.FormKeyDown(kVkRight, false);
    const TView panned = Form.View;
    EXPECT_TRUE(Form.FormKeyDown(key, false));
    EXPECT_NEAR((Form.View.ViewLeft + Form.View.ViewRight) / 2, 50, 1e-9) << key;
    EXPECT_NEAR((Form.View.ViewBottom + Form.View.ViewTop) / 2, 25, 1e-9) << key;
    EXPECT_EQ(Form.View.ViewScale, panned.ViewScale);
    ExpectPrevious(Form.View, panned);
  }
}

TEST_F(MainWindowViews, ArrowsAndTheMiddleButtonSaveThePreviousView) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  Form.FormKeyDown(kVkPageUp, false);
  TView before = Form.View;
  Form.FormKeyDown(kVkUp, false);
  ExpectPrevious(Form.View, before);
  before = Form.View;
  Form.PaintBox1MouseDown(kButtonMiddle, 100, 100);
  Form.PaintBox1MouseUp(130, 90);
  ExpectPrevious(Form.View, before);
}

// At most 5 pixels wide or high centres the view; 6 pixels zooms.
TEST_F(MainWindowViews, TwoButtonGestureOfExactlyFivePixels) {
  Start("0 0 100 50\n1 1 2 2\n");
  ExactView();
  const double scale = Form.View.ViewScale;
  TwoButtonDrag(100, 100, 105, 140);
  EXPECT_EQ(Form.View.ViewScale, scale);  // centred on the press point
  EXPECT_EQ((Form.View.ViewLeft + Form.View.ViewRight) / 2, 100 / 2.0);  // pixel 100: x 50
  ExactView();
  TwoButtonDrag(100, 100, 106, 140);
  EXPECT_NE(Form.View.ViewScale, scale);  // zoomed to the rectangle
}

// A bitmap that cannot be made leaves no copy: the next paint composes afresh.
TEST_F(MainWindowViews, FailedBitmapMeansTheNextPaintComposesAgain) {
  Start("0 0 100 50\n1 1 2 2\n");
  Controls.Canvas.CanMakeBitmaps = false;
  Form.PaintBox1Paint(Controls.Canvas);
  EXPECT_EQ(Form.OffscreenBitmap, nullptr);
  const size_t lines = Controls.Canvas.Count(TCallKind::LineTo);
  Form.PaintBox1Paint(Controls.Canvas);
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::LineTo), 2 * lines);
  EXPECT_EQ(Controls.Canvas.Count(TCallKind::BitBlt), 0u);
}

// A repaint from the copy: the background, a blue frame that shows where the paint area grew,
// then the copy at the top-left corner.
TEST_F(MainWindowViews, RepaintDrawsTheBlueFrameUnderTheCopy) {
  Start("0 0 100 50\n1 1 2 2\n");
  Form.PaintBox1Paint(Controls.Canvas);
  Controls.Canvas.Calls.clear();
  Form.PaintBox1Paint(Controls.Canvas);
  const auto& calls = Controls.Canvas.Calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].Kind, TCallKind::Rectangle);
  EXPECT_EQ(calls[1].Args, (std::vector<int32_t>{0, 0, 399, 299}));
  EXPECT_EQ(calls[1].Pen.Color, MakeColor(0, 0, 255));
  EXPECT_EQ(calls[2].Kind, TCallKind::BitBlt);
  EXPECT_EQ(calls[2].Args[0], 0);
}

// Before the window is shown a resize only snaps the window; the view is not touched.
TEST_F(MainWindowViews, ResizeBeforeShowLeavesTheView) {
  Form.FormCreate();
  Controls.PaintSize = {200, 50};
  Form.FormResize();
  EXPECT_EQ(Form.View.ViewWidth, 0);
  EXPECT_EQ(Form.View.ViewHeight, 0);
}

}  // namespace
}  // namespace pikrotta
