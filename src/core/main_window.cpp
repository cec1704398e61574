#include "main_window.h"

#include <algorithm>
#include <cmath>

#include "jwcad_lookup.h"
#include "my_func.h"
#include "transfer_reader.h"

namespace pikrotta {

namespace {

constexpr TColor kAqua = MakeColor(0, 255, 255);
constexpr TColor kRed = MakeColor(255, 0, 0);
constexpr TColor kBlue = MakeColor(0, 0, 255);

}  // namespace

// ---- Start-up and shutdown ----

void TForm1::FormCreate() {
  ViewReady = false;
  GraAttribute = std::make_unique<TgraAttribute>();
  Gra = std::make_unique<TGra>(View, *GraAttribute, JwwGaibu, Host.Clock(), Host);
  BandVisible = false;
  ButtonFlags = 0;
  OffscreenBitmap.reset();
  PanBitmap.reset();
  PanBitmapValid = false;
  ZoomFactor = 1.5;
  WheelDelta = 0;
  ImageRefs.clear();
}

std::string TForm1::SettingsFilePath() const {
  return ChangeFileExt(Host.ProgramFilePath(), ".dat");
}

void TForm1::FormShow() {
  // The fit needs the paint area's size, so the geometry comes before the drawing.
  PlaceWindow();
  const std::string path = TransferFilePath();
  const std::unique_ptr<TInputFile> file = Host.OpenForReading(path);
  ShowDrawing(file.get());
  // There but not to be opened (another program holds it): an empty drawing, and why.
  if (!file && Host.FileExists(path))
    Controls.SetCaption(TLabel::LabelA1, ReadProblemText(TReadProblem::Locked));
  OpenPromotion();
}

void TForm1::PlaceWindow() {
  ExeFolder = ExtractFilePath(Host.ProgramFilePath());
  WindowSettings = LoadWindowSettings(Host, SettingsFilePath());
  Controls.SetWindowBounds(
      {WindowSettings.Left, WindowSettings.Top, WindowSettings.Width, WindowSettings.Height});
  Controls.SetPanelWidth(PanelWidthWithin(WindowSettings));
}

std::string TForm1::TransferFilePath() const {
  return ExeFolder + "JWC_TEMP.TXT";
}

void TForm1::OpenPromotion() {
  Host.Navigate(std::string(kPromotionSiteUrl) + "/pr/");
}

std::string ReadingProgressText(int64_t bytesRead, int64_t size) {
  std::string text = texts::kReading;
  if (size > 0) {
    // Clamped before the conversion: a file that grew while it was read stays at 100 %.
    const double share =
        std::clamp(static_cast<double>(bytesRead) / static_cast<double>(size), 0.0, 1.0);
    text += ' ';
    text += std::to_string(static_cast<int32_t>(share * 100));
    text += " %";
  }
  return text;
}

TReadProblem ReadProblemOf(bool complete, const TLineEndWatch& lineEnds, const TJwwGaibu& model) {
  if (!complete) return TReadProblem::Cut;
  if (lineEnds.OnlyCarriageReturns() && model.JwwOrderCount == 0)
    return TReadProblem::CarriageReturnsOnly;
  return TReadProblem::None;
}

const char* ReadProblemText(TReadProblem problem) {
  switch (problem) {
    case TReadProblem::Locked:
      return texts::kTransferFileLocked;
    case TReadProblem::Cut:
      return texts::kTransferFileCut;
    case TReadProblem::CarriageReturnsOnly:
      return texts::kTransferFileCrOnly;
    default:
      return "";
  }
}

bool TForm1::ShowDrawing(TInputFile* transferFile) {
  JwwGaibu.ResetModel();
  JwwGaibu.UseBlockMemory(Host.BlockMemory());
  bool read = false;
  TReadProblem problem = TReadProblem::None;
  if (transferFile) {
    TLineEndWatch watched(*transferFile);
    read = ReadTransferFile(JwwGaibu, watched, &Host);
    problem = ReadProblemOf(read, watched, JwwGaibu);
  }
  ShowModel();
  if (problem != TReadProblem::None) Controls.SetCaption(TLabel::LabelA1, ReadProblemText(problem));
  return read;
}

void TForm1::ShowReadDrawing(TJwwGaibu&& model, TReadProblem problem) {
  JwwGaibu = std::move(model);
  ShowModel();
  // What was read stays shown; the status line says what is wrong with it.
  if (problem != TReadProblem::None) Controls.SetCaption(TLabel::LabelA1, ReadProblemText(problem));
}

void TForm1::ShowModel() {
  Controls.ClearList();
  Controls.SetCaption(TLabel::LabelA1, "");
  SilentServersShown = false;
  Controls.SetCaption(TLabel::Label2,
                      JwwGaibu.JwwFileName.empty() ? texts::kNewDrawing : JwwGaibu.JwwFileName);
  Controls.SetCaption(TLabel::Label3, FindJwcadProgram(Host));
  Controls.SetCaption(TLabel::Label4, texts::kNoSearchYet);
  Controls.SetCaption(TLabel::Label5, texts::kNoSearchYet);
  FitToWindow();  // ViewReady is still false: this sets the view, the first paint composes
  ViewReady = true;
}

void TForm1::FormClose() {
  ImageRefs.clear();
  ImageRefRows.clear();
  OffscreenBitmap.reset();
  PanBitmap.reset();
  PanBitmapValid = false;
  const TWindowBounds bounds = Controls.WindowBounds();
  WindowSettings = {bounds.Left, bounds.Top, bounds.Width, bounds.Height, Controls.PanelWidth()};
  RaiseToMinima(WindowSettings);
  WindowSettings.PanelWidth = PanelWidthWithin(WindowSettings);
  SettingsSaved = SaveWindowSettings(Host, SettingsFilePath(), WindowSettings);
  JwwGaibu.FreeModel();
  ViewReady = false;
  Gra.reset();
  GraAttribute.reset();
}

void TForm1::FormResize() {
  TWindowBounds bounds = Controls.WindowBounds();
  const TWindowBounds raised{bounds.Left, bounds.Top, std::max(bounds.Width, kMinWindowWidth),
                             std::max(bounds.Height, kMinWindowHeight)};
  if (!(raised == bounds)) Controls.SetWindowBounds(raised);
  if (!ViewReady) return;
  const TPoint size = Controls.PaintAreaSize();
  View.ResizeView(size.X, size.Y);
}

// ---- Composition and repaint ----

void TForm1::FitToWindow() {
  const TPoint size = Controls.PaintAreaSize();
  View.FitToWindow(JwwGaibu, size.X, size.Y);
  RedrawView();
}

void TForm1::RedrawView() {
  if (!ViewReady) return;
  BandVisible = false;
  TCanvas& canvas = Controls.PaintCanvas();
  const TPoint size = Controls.PaintAreaSize();
  Gra->ClearPaintArea(canvas, size.X, size.Y);
  TGra::SetScreenPen(canvas, kAqua, 0, 0);
  TGra::DrawPixelRect(canvas, 0, 0, size.X - 1, size.Y - 1);
  // The origin: a red cross with arms of 5 pixels.
  TGra::SetScreenPen(canvas, kRed, 0, 2);
  const double a = 5 / View.ViewScale;
  Gra->DrawWorldLine(canvas, 0, a, 0, -a);
  Gra->DrawWorldLine(canvas, a, 0, -a, 0);
  // Both passes stop at the Esc key; the copy below still keeps the half-drawn picture.
  Gra->DrawAllEntities(canvas);
  const double scale = Controls.DpiScale();
  if (canvas.KeepsPixels())
    Gra->MarkImageRefs(canvas, 10 * scale / View.ViewScale,
                       std::max<int32_t>(1, static_cast<int32_t>(std::lround(3 * scale))));
  OffscreenBitmap.reset();
  OffscreenBitmap = canvas.CopyToBitmap(size.X, size.Y);
  Controls.ShowPaintArea();
}

void TForm1::PaintBox1Paint(TCanvas& canvas) {
  BandVisible = false;
  if (!OffscreenBitmap) {
    FitToWindow();
    return;
  }
  const TPoint size = Controls.PaintAreaSize();
  Gra->ClearPaintArea(canvas, size.X, size.Y);
  TGra::SetScreenPen(canvas, kBlue, 0, 0);
  TGra::DrawPixelRect(canvas, 0, 0, size.X - 1, size.Y - 1);
  canvas.BitBlt(0, 0, *OffscreenBitmap);
}

void TForm1::DrawRubberBand() {
  TCanvas& canvas = Controls.PaintCanvas();
  TGra::SetXorPen(canvas);
  canvas.Pen.Color = kAqua;
  canvas.Pen.Style = psSolid;
  canvas.Pen.Width = 3;
  canvas.Brush.Style = bsClear;
  TGra::DrawPixelRect(canvas, BandStartX, BandStartY, BandEndX, BandEndY);
  Controls.ShowPaintArea();
}

// ---- Navigation ----

void TForm1::ZoomAt(int32_t x, int32_t y, double f) {
  View.SavePrevView();
  const double wx = View.ScreenToWorldX(x), wy = View.ScreenToWorldY(y);
  const double cx = (View.ViewLeft + View.ViewRight) / 2, cy = (View.ViewBottom + View.ViewTop) / 2;
  const double hx = (View.ViewRight - View.ViewLeft) / 2 / f;
  const double hy = (View.ViewTop - View.ViewBottom) / 2 / f;
  View.ViewScale *= f;
  const double ncx = wx - (wx - cx) / f, ncy = wy - (wy - cy) / f;
  View.ViewLeft = ncx - hx;
  View.ViewRight = ncx + hx;
  View.ViewBottom = ncy - hy;
  View.ViewTop = ncy + hy;
  RedrawGestureView();
}

// A gesture that would leave the view without a finite scale or edges (zoomed in or out some
// thousand times, or far off) leaves it as it was instead: a view that is not a number shows
// nothing and no later gesture brings it back.
void TForm1::RedrawGestureView() {
  if (!View.IsFinite()) View.RestorePrevView();
  RedrawView();
}

void TForm1::SavePrevViewAndTakePaintSize() {
  View.SavePrevView();
  const TPoint size = Controls.PaintAreaSize();
  View.ViewWidth = size.X;
  View.ViewHeight = size.Y;
}

void TForm1::ZoomToWindow(double x1, double y1, double x2, double y2) {
  SavePrevViewAndTakePaintSize();
  double w = std::fabs(x2 - x1), h = std::fabs(y2 - y1);
  if (w <= 0.001) w = 0.001;
  if (h <= 0.001) h = 0.001;
  View.ViewScale = std::min(View.ViewWidth / w, View.ViewHeight / h);
  View.CentreAt((x1 + x2) / 2, (y1 + y2) / 2);
  RedrawGestureView();
}

void TForm1::ZoomOutAround(double x1, double y1, double x2, double y2) {
  SavePrevViewAndTakePaintSize();
  const double vw = View.ViewRight - View.ViewLeft, vh = View.ViewTop - View.ViewBottom;
  View.ViewScale = std::min(View.ViewWidth / (2 * vw), View.ViewHeight / (2 * vh));
  View.CentreAt((x1 + x2) / 2, (y1 + y2) / 2);
  RedrawGestureView();
}

void TForm1::CentreViewOn(double x, double y) {
  const TPoint size = Controls.PaintAreaSize();
  View.ViewWidth = size.X;
  View.ViewHeight = size.Y;
  PanBy(x - (View.ViewLeft + View.ViewRight) / 2, y - (View.ViewBottom + View.ViewTop) / 2);
}

void TForm1::CentreOnExtents() {
  View.SavePrevView();
  View.CentreAt((View.ExtentLeft + View.ExtentRight) / 2, (View.ExtentBottom + View.ExtentTop) / 2);
  RedrawGestureView();
}

// Saves the previous view and moves the window by a drawing vector.
void TForm1::PanBy(double dx, double dy) {
  View.SavePrevView();
  View.ViewLeft += dx;
  View.ViewRight += dx;
  View.ViewBottom += dy;
  View.ViewTop += dy;
  RedrawGestureView();
}

void TForm1::SwapWithPreviousView() {
  const TView current = View;
  View.RestorePrevView();
  RedrawView();
  View.PrevViewScale = current.ViewScale;
  View.PrevViewLeft = current.ViewLeft;
  View.PrevViewBottom = current.ViewBottom;
  View.PrevViewRight = current.ViewRight;
  View.PrevViewTop = current.ViewTop;
}

bool TForm1::CursorInPaintArea(TPoint cursor) const {
  const TPoint size = Controls.PaintAreaSize();
  return cursor.X >= 0 && cursor.Y >= 0 && cursor.X <= size.X && cursor.Y <= size.Y;
}

bool TForm1::FormKeyDown(int32_t key, bool shift) {
  const TPoint size = Controls.PaintAreaSize();
  switch (key) {
    case kVkPageUp:
      ZoomAt(size.X / 2, size.Y / 2, ZoomFactor);
      return true;
    case kVkPageDown:
      ZoomAt(size.X / 2, size.Y / 2, 1 / ZoomFactor);
      return true;
    case kVkInsert:
    case kVkEnd:
      CentreOnExtents();
      return true;
    case kVkHome:
      FitToWindow();
      return true;
    case kVkEscape:
      return true;  // a composition watches the key state itself
    case kVkLeft:
    case kVkRight:
    case kVkUp:
    case kVkDown: {
      if (!CursorInPaintArea(Controls.CursorPosition())) return true;
      double dx = std::fabs(View.ViewRight - View.ViewLeft) / 2;
      double dy = std::fabs(View.ViewTop - View.ViewBottom) / 2;
      if (shift) dx /= 5, dy /= 5;
      if (key == kVkLeft)
        PanBy(-dx, 0);
      else if (key == kVkRight)
        PanBy(dx, 0);
      else if (key == kVkUp)
        PanBy(0, dy);
      else
        PanBy(0, -dy);
      return true;
    }
    default:
      return false;
  }
}

bool TForm1::FormMouseWheel(int32_t delta, TPoint cursor) {
  WheelDelta += delta;
  bool handled = false;
  // Towards the user is a wheel down.
  for (; WheelDelta <= -kWheelNotch; WheelDelta += kWheelNotch)
    handled = FormMouseWheelDown(cursor) || handled;
  for (; WheelDelta >= kWheelNotch; WheelDelta -= kWheelNotch)
    handled = FormMouseWheelUp(cursor) || handled;
  return handled;
}

bool TForm1::FormMouseWheelDown(TPoint cursor) {
  if (!CursorInPaintArea(cursor)) return false;
  Controls.FocusEditA();
  ZoomAt(cursor.X, cursor.Y, ZoomFactor);
  return true;
}

bool TForm1::FormMouseWheelUp(TPoint cursor) {
  if (!CursorInPaintArea(cursor)) return false;
  Controls.FocusEditA();
  ZoomAt(cursor.X, cursor.Y, 1 / ZoomFactor);
  return true;
}

void TForm1::PaintBox1MouseDown(int32_t flags, int32_t x, int32_t y) {
  if ((ButtonFlags & (kButtonLeft | kButtonRight)) == 0) {
    PressX = x;
    PressY = y;
  }
  ButtonFlags |= flags;
  if (ButtonFlags & kButtonMiddle) {
    PanBitmap.reset();
    const TPoint size = Controls.PaintAreaSize();
    PanBitmap = Controls.PaintCanvas().CopyToBitmap(size.X, size.Y);
    PanBitmapValid = PanBitmap != nullptr;
  }
}

void TForm1::PaintBox1MouseMove(int32_t x, int32_t y) {
  Controls.FocusEditA();
  const bool both = (ButtonFlags & kButtonLeft) && (ButtonFlags & kButtonRight);
  if (both) {
    if (BandVisible) DrawRubberBand();  // drawn again in XOR: erased
    BandStartX = PressX;
    BandStartY = PressY;
    BandEndX = x;
    BandEndY = y;
    DrawRubberBand();
    BandVisible = true;
  } else if ((ButtonFlags & kButtonMiddle) && PanBitmapValid) {
    BandVisible = false;
    TCanvas& canvas = Controls.PaintCanvas();
    const TPoint size = Controls.PaintAreaSize();
    Gra->ClearPaintArea(canvas, size.X, size.Y);
    canvas.BitBlt(x - PressX, y - PressY, *PanBitmap);
    Controls.ShowPaintArea();
  }
}

void TForm1::PaintBox1CaptureLost() {
  if (ButtonFlags == 0) return;
  if (BandVisible) DrawRubberBand();
  BandVisible = false;
  if (PanBitmapValid && OffscreenBitmap) {
    Controls.PaintCanvas().BitBlt(0, 0, *OffscreenBitmap);
    Controls.ShowPaintArea();
  }
  PanBitmap.reset();
  PanBitmapValid = false;
  ButtonFlags = 0;
}

void TForm1::PaintBox1MouseUp(int32_t x, int32_t y) {
  const double x1 = View.ScreenToWorldX(PressX), y1 = View.ScreenToWorldY(PressY);
  const double x2 = View.ScreenToWorldX(x), y2 = View.ScreenToWorldY(y);
  const bool both = (ButtonFlags & kButtonLeft) && (ButtonFlags & kButtonRight);
  if (both) {
    if (BandVisible) DrawRubberBand();
    BandVisible = false;
    const double fivePixels = 5 / View.ViewScale;
    if (std::fabs(x2 - x1) <= fivePixels || std::fabs(y2 - y1) <= fivePixels)
      CentreViewOn(x1, y1);
    else if (x1 < x2 && y1 > y2)
      ZoomToWindow(x1, y1, x2, y2);  // right and down
    else if (x1 > x2 && y1 < y2)
      ZoomOutAround(x1, y1, x2, y2);  // left and up
    else if (x1 >= x2 || y1 >= y2)
      SwapWithPreviousView();  // left and down
    else
      FitToWindow();  // right and up
  } else if (ButtonFlags & kButtonMiddle) {
    PanBitmap.reset();
    PanBitmapValid = false;
    PanBy(x1 - x2, y1 - y2);
  }
  ButtonFlags = 0;
}

}  // namespace pikrotta
