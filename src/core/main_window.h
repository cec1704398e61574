// The main window's behaviour as plain handlers: start-up and shutdown, composition and
// repaint, navigation by keys, wheel and mouse, and the image-reference search. The window
// system reaches it through the handlers; it reaches the controls through TWindowControls
// and the system through THostServices.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "gra.h"
#include "host_services.h"
#include "image_diagnosis.h"
#include "jww_model.h"
#include "view.h"
#include "window_settings.h"
#include "window_texts.h"

namespace pikrotta {

enum class TLabel { Label2, Label3, Label4, Label5, LabelA1 };

struct TWindowBounds {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TWindowBounds&) const = default;
};

class TWindowControls {
 public:
  virtual ~TWindowControls() = default;
  virtual std::string Caption(TLabel label) const = 0;  // Shift-JIS
  virtual void SetCaption(TLabel label, const std::string& text) = 0;
  virtual void ClearList() = 0;
  virtual void AddListRow(const std::string& text) = 0;
  // The whole list at once, so that a window can fill it with a single repaint.
  virtual void SetListRows(std::vector<std::string> rows) {
    ClearList();
    for (const std::string& row : rows) AddListRow(row);
  }
  virtual int32_t ListCount() const = 0;
  virtual int32_t ListSelection() const = 0;  // -1 for none
  virtual TWindowBounds WindowBounds() const = 0;
  virtual void SetWindowBounds(const TWindowBounds& bounds) = 0;
  virtual int32_t PanelWidth() const = 0;
  virtual void SetPanelWidth(int32_t width) = 0;
  virtual TPoint PaintAreaSize() const = 0;
  // The mouse cursor in paint-area pixels.
  virtual TPoint CursorPosition() const = 0;
  // The monitor's pixels per pixel of the design (dpi / 96): what the window draws of its own
  // over the drawing, the search's red circles, keeps its size on a high-dpi monitor.
  virtual double DpiScale() const { return 1.0; }
  virtual void FocusEditA() = 0;
  // The paint area's pixels: the view is composed here, the rubber band and the panned picture
  // are drawn here, and the window shows them. An off-screen surface on Windows.
  virtual TCanvas& PaintCanvas() = 0;
  // Puts what was drawn on PaintCanvas on the screen now; a handler calls it after drawing
  // outside a paint request (a composition, the rubber band, the panned picture).
  virtual void ShowPaintArea() = 0;
  virtual void CloseWindow() = 0;
};

// Mouse buttons and modifier keys of a mouse event.
constexpr int32_t kButtonLeft = 1;
constexpr int32_t kButtonRight = 2;
constexpr int32_t kButtonMiddle = 4;
constexpr int32_t kButtonDouble = 8;
constexpr int32_t kShiftKey = 16;
constexpr int32_t kAltKey = 32;
constexpr int32_t kCtrlKey = 64;

// Windows virtual-key codes the window answers.
constexpr int32_t kVkEscape = 0x1B;
constexpr int32_t kVkPageUp = 0x21;
constexpr int32_t kVkPageDown = 0x22;
constexpr int32_t kVkEnd = 0x23;
constexpr int32_t kVkHome = 0x24;
constexpr int32_t kVkLeft = 0x25;
constexpr int32_t kVkUp = 0x26;
constexpr int32_t kVkRight = 0x27;
constexpr int32_t kVkDown = 0x28;
constexpr int32_t kVkInsert = 0x2D;

// One notch of a mouse wheel, in the units the window system reports.
constexpr int32_t kWheelNotch = 120;

// Base address of the promotion site; the strip shows its "/pr/" page.
constexpr const char* kPromotionSiteUrl = "https://ventro.example";

// One image reference found by the search.
struct TSearchStr {
  int32_t SourceKind = 0;  // 0 JwwTexts, 1 JwwMsgTexts
  int32_t EntityIndex = 0;
  double X = 0, Y = 0;
  std::string Text;
};

// What the search made of one listed reference.
struct TImageRefRow {
  std::string RowText;       // the path as listed
  std::string ResolvedPath;  // "　" when it cannot be resolved
  std::string Mark;          // "　○", "　×" or "　？", followed by "※" for a network path
  bool Found = false;
  int32_t RefIndex = 0;  // into ImageRefs
};

// LabelA1 while a transfer file is read: "読み込み中… 42 %", without the figure when the
// file's length is not known.
std::string ReadingProgressText(int64_t bytesRead, int64_t size);

// What went wrong with a transfer file that is there: LabelA1 says so over what was read.
enum class TReadProblem { None, Locked, Cut, CarriageReturnsOnly };
// Of a reading that ended complete or not, of a file whose line ends were watched, giving a
// model: a file read whole into an empty drawing although it has CRs and no LF is the one
// whose lines end in CR alone.
TReadProblem ReadProblemOf(bool complete, const TLineEndWatch& lineEnds, const TJwwGaibu& model);
const char* ReadProblemText(TReadProblem problem);  // Shift-JIS; empty for None

class TForm1 {
 public:
  TForm1(TWindowControls& controls, THostServices& host) : Controls(controls), Host(host) {}

  // Start-up and shutdown.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormResize();
  void Button1Click() { Controls.CloseWindow(); }
  // Steps of FormShow that read and show a transfer file; the command line uses them alone.
  // The window ignores the result; false when the file was missing or not read to its end.
  bool ShowDrawing(TInputFile* transferFile);  // null: no file, an empty drawing
  // FormShow in its three steps, for a window that reads the drawing while it is shown: the
  // saved position and size, then the drawing read elsewhere into a model of its own, then
  // the promotion strip.
  void PlaceWindow();
  std::string TransferFilePath() const;
  void ShowReadDrawing(TJwwGaibu&& model, TReadProblem problem = TReadProblem::None);
  void OpenPromotion();

  // Composition and repaint.
  void RedrawView();
  // Answers a paint request on the canvas it brings.
  void PaintBox1Paint(TCanvas& canvas);
  void DrawRubberBand();
  void FitToWindow();

  // Navigation.
  bool FormKeyDown(int32_t key, bool shift);  // true when handled
  // A wheel turn of delta (120 a notch, positive away from the user) with the cursor at a
  // paint-area pixel. Fine wheels send parts of a notch; they add up until a notch is whole,
  // and each whole notch towards the user is a wheel down, away from the user a wheel up.
  bool FormMouseWheel(int32_t delta, TPoint cursor);
  bool FormMouseWheelDown(TPoint cursor);
  bool FormMouseWheelUp(TPoint cursor);
  void PaintBox1MouseDown(int32_t flags, int32_t x, int32_t y);
  void PaintBox1MouseMove(int32_t x, int32_t y);
  void PaintBox1MouseUp(int32_t x, int32_t y);
  // The mouse was taken away mid-gesture (another window took the capture): the gesture ends
  // without acting, the band erased and a panned picture put back.
  void PaintBox1CaptureLost();
  void ZoomAt(int32_t x, int32_t y, double factor);  // paint-area pixels
  void ZoomToWindow(double x1, double y1, double x2, double y2);
  void ZoomOutAround(double x1, double y1, double x2, double y2);
  void CentreViewOn(double x, double y);
  void CentreOnExtents();
  void SwapWithPreviousView();

  // The image-reference search.
  void Button2Click();
  void CollectImageRefs();
  std::string FindNewestTempFolder(const std::string& autoSaveFolder) const;
  void ListBox1DblClick();
  // A row selected (a click or the arrow keys): LabelA1 says what the diagnosis finds of it,
  // the header row sums the list up.
  void ListBox1Click();
  // The right mouse button on a row: the items of its menu (Shift-JIS), none when it has
  // nothing to offer; then the item chosen.
  std::vector<std::string> ListBox1MenuItems(int32_t row);
  void ListBox1MenuChoice(int32_t row, int32_t item);
  // The diagnosis of a listed row (1 and up), made when first asked within a search.
  const TImageRefDiagnosis& RowDiagnosis(int32_t row);
  TDiagnosisPlaces DiagnosisPlaces() const;
  // The diagnosis of rows as the window makes it, with or without candidates.
  std::vector<TImageRefDiagnosis> DiagnoseRows(const std::vector<TImageRefRow>& rows,
                                               bool candidates) const;
  std::string RowStatusText(int32_t row);
  std::string ListSummaryText();

  TWindowControls& Controls;
  THostServices& Host;

  TJwwGaibu JwwGaibu;
  TView View;
  std::unique_ptr<TgraAttribute> GraAttribute;
  std::unique_ptr<TGra> Gra;
  TWindowSettings WindowSettings;
  std::string ExeFolder;
  bool ViewReady = false;

  std::unique_ptr<TBitmap> OffscreenBitmap;
  bool BandVisible = false;
  int32_t BandStartX = 0, BandStartY = 0, BandEndX = 0, BandEndY = 0;
  int32_t ButtonFlags = 0;
  int32_t PressX = 0, PressY = 0;
  std::unique_ptr<TBitmap> PanBitmap;
  bool PanBitmapValid = false;
  double ZoomFactor = 1.5;
  int32_t WheelDelta = 0;  // parts of a notch not yet turned into a zoom

  // False after a FormClose whose settings could not be written (the old file stays); the
  // window says so unless the session is ending.
  bool SettingsSaved = true;

  std::vector<TSearchStr> ImageRefs;
  std::vector<TImageRefRow> ImageRefRows;  // the listed rows of the last search
  // Reads pictures' headers for the diagnosis; a shell without one diagnoses no file's facts.
  const TImageHeaderReader* ImageHeaderReader = nullptr;
  std::vector<std::optional<TImageRefDiagnosis>> RowDiagnoses;  // by listed row - 1

 private:
  void ShowModel();  // the captions of a drawing just read, and its fit
  std::string SettingsFilePath() const;
  void PanBy(double dx, double dy);
  void RedrawGestureView();
  void SavePrevViewAndTakePaintSize();
  bool CursorInPaintArea(TPoint cursor) const;
  void ShowSilentServers(const std::vector<std::string>& servers);

  bool SilentServersShown = false;  // LabelA1 names servers that did not answer the last search
};

}  // namespace pikrotta
