#include "main_form.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "control_ids.h"
#include "surface_colors.h"
#include "text_win32.h"
#include "window_geometry.h"
#include "window_texts.h"

namespace pikrotta::win32 {

namespace {

// The form as designed, in pixels at 96 dpi; a monitor of another scale multiplies them.
constexpr int kDesignDpi = 96;
constexpr int kPanel2Width = 201;
constexpr int kLabelA1Height = 24;
constexpr int kScrollBox1Height = 65;
constexpr int kSplitterWidth = 3;
constexpr int kSplitterMinSize = 30;  // neither side of the splitter gets narrower
constexpr int kPanel3Height = 108;
constexpr int kMemo1Height = 144;
constexpr int kListItemHeight = 13;
constexpr int kFontHeight = 13;
constexpr int kBevel = 1;  // panels have a raised bevel inside their edge, one pixel at any scale

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCream = RGB(255, 251, 240);
constexpr COLORREF kMemoColor = RGB(187, 235, 244);
constexpr COLORREF kLabelA1Color = RGB(231, 231, 231);

// A drawing read within this time is shown as before; a longer read shows the window first.
constexpr std::chrono::milliseconds kReadBeforeShowing{500};
constexpr UINT kReadDone = WM_APP + 1;  // posted by the reading thread
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriod = 100;  // ms

// The dots per inch of the monitor that shows the window: GetDpiForWindow where Windows has it
// (10, version 1607, on), the screen's otherwise.
UINT DpiOf(HWND window) {
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      reinterpret_cast<TGetDpiForWindow>(reinterpret_cast<void (*)()>(
          ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow)
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  const TWindowDc screen(nullptr);
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

TMainForm* FormOf(HWND window) {
  return reinterpret_cast<TMainForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Mouse buttons and modifier keys of a mouse message, as the handlers take them.
int32_t MouseFlags(WPARAM w, bool doubleClick) {
  int32_t flags = 0;
  if (w & MK_LBUTTON) flags |= kButtonLeft;
  if (w & MK_RBUTTON) flags |= kButtonRight;
  if (w & MK_MBUTTON) flags |= kButtonMiddle;
  if (doubleClick) flags |= kButtonDouble;
  if (w & MK_SHIFT) flags |= kShiftKey;
  if (::GetKeyState(VK_MENU) < 0) flags |= kAltKey;
  if (w & MK_CONTROL) flags |= kCtrlKey;
  return flags;
}

// Runs a handler; nothing it throws may cross into the system's code.
template <class F>
LRESULT Guarded(F&& handler, LRESULT failed = 0) {
  try {
    return handler();
  } catch (...) {
    return failed;
  }
}

}  // namespace

// The window procedure of each window class: the form that owns the window, from its user
// data, handles the message. The form is bound in WM_NCCREATE, the first message, so that
// WM_GETMINMAXINFO and the first WM_SIZE of the creation reach it too.
template <LRESULT (TMainForm::*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK TMainForm::Dispatch(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* made = static_cast<TMainForm*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
    if (made && !made->Form1) {  // the form's own window is made first
      made->Form1 = window;
      made->Dpi = DpiOf(window);
    }
  }
  TMainForm* form = FormOf(window);
  if (!form) return ::DefWindowProcW(window, message, w, l);
  return Guarded([&] { return (form->*Handler)(window, message, w, l); });
}

namespace {

// A class that cannot be registered leaves no window to show: the program ends (its entry
// catches this). Registered already is no failure.
void Register(const WNDCLASSEXW& windowClass) {
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("a window class could not be registered");
}

}  // namespace

void TMainForm::RegisterClasses(HINSTANCE instance) {
  const HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.style = CS_HREDRAW | CS_VREDRAW;
  form.lpfnWndProc = Dispatch<&TMainForm::OnFormMessage>;
  form.hInstance = instance;
  form.hIcon = icon;
  form.hIconSm = icon;
  form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  form.lpszClassName = kFormClass;
  Register(form);

  WNDCLASSEXW panel = form;
  panel.lpfnWndProc = Dispatch<&TMainForm::OnPanelMessage>;
  panel.hIcon = panel.hIconSm = nullptr;
  panel.lpszClassName = kPanelClass;
  Register(panel);

  WNDCLASSEXW paintBox = panel;
  paintBox.style = CS_DBLCLKS;  // a double click reaches the handlers as such
  paintBox.lpfnWndProc = Dispatch<&TMainForm::OnPaintBoxMessage>;
  paintBox.lpszClassName = kPaintBoxClass;
  Register(paintBox);

  WNDCLASSEXW splitter = panel;
  splitter.lpfnWndProc = Dispatch<&TMainForm::OnSplitterMessage>;
  splitter.hCursor = ::LoadCursorW(nullptr, IDC_SIZEWE);
  splitter.lpszClassName = kSplitterClass;
  Register(splitter);
}

TMainForm::TMainForm(HINSTANCE instance, HWND owner)
    : Instance(instance),
      White(::CreateSolidBrush(kWhite)),
      Cream(::CreateSolidBrush(kCream)),
      MemoColor(::CreateSolidBrush(kMemoColor)),
      LabelA1Color(::CreateSolidBrush(kLabelA1Color)) {
  Form1 = ::CreateWindowExW(
      0, kFormClass, SjisToWide(texts::kFormCaption).c_str(),
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
      194, 105, 601, 469, owner, nullptr, instance, this);
  // Without its window there is nothing to show: the program ends (its entry catches this).
  if (!Form1) throw std::runtime_error("the main window could not be created");
  Host.Owner = Form1;
  Panel2Width = Scaled(kPanel2Width);

  constexpr DWORD kStatic = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
  constexpr DWORD kPanel = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  LabelA1 = Child(Form1, L"STATIC", texts::kFullWidthBlank,
                  WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, kIdLabelA1);
  PaintBox1 = Child(Form1, kPaintBoxClass, "", WS_CHILD | WS_VISIBLE, kIdPaintBox1);
  Splitter1 = Child(Form1, kSplitterClass, "", WS_CHILD | WS_VISIBLE, kIdSplitter1);
  Panel2 = Child(Form1, kPanelClass, "", kPanel, kIdPanel2);
  Panel3 = Child(Panel2, kPanelClass, "", kPanel, kIdPanel3);
  Label1 = Child(Panel3, L"STATIC", texts::kLabel1Caption, kStatic, kIdLabel1);
  Label2 = Child(Panel3, L"STATIC", texts::kLabel2Caption, kStatic, kIdLabel2);
  Label3 = Child(Panel3, L"STATIC", "", kStatic, kIdLabel3);
  Label4 = Child(Panel3, L"STATIC", texts::kNoSearchYet, kStatic, kIdLabel4);
  Label5 = Child(Panel3, L"STATIC", texts::kNoSearchYet, kStatic, kIdLabel5);
  Button2 = Child(Panel3, L"BUTTON", texts::kButton2Caption,
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdButton2);
  Button1 = Child(Panel3, L"BUTTON", texts::kButton1Caption,
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdButton1);
  ListBox1 = Child(Panel2, L"LISTBOX", "",
                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | WS_CLIPSIBLINGS |
                       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   kIdListBox1);
  std::string help;
  for (const char* line : texts::kHelpLines) help += std::string(line) + "\r\n";
  help.resize(help.size() - 2);
  Memo1 = Child(Panel2, L"EDIT", help,
                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS |
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                kIdMemo1);
  // The focus sink: outside the panel's visible part, one character, no input method.
  EditA = Child(Panel2, L"EDIT", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
                kIdEditA);
  ::SendMessageW(EditA, EM_LIMITTEXT, 1, 0);
  ::ImmAssociateContext(EditA, nullptr);
  // Beneath the list and the memo: a panel widened past it must still not show it.
  ::SetWindowPos(EditA, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ScrollBox1 =
      Child(Form1, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kIdScrollBox1);
  Panel1 = Child(ScrollBox1, kPanelClass, "", kPanel, kIdPanel1);
  Captions[TLabel::Label2] = texts::kLabel2Caption;
  Captions[TLabel::Label4] = Captions[TLabel::Label5] = texts::kNoSearchYet;
  Captions[TLabel::LabelA1] = texts::kFullWidthBlank;

  ApplyDpi();
  WebBrowser1 = std::make_unique<TBrowserStrip>(Panel1, BrowserRect());
  Host.OnNavigate = [this](const std::wstring& url) {
    if (WebBrowser1) WebBrowser1->Navigate(url);
  };
  Form.ImageHeaderReader = &ImageHeaders;
  Form.FormCreate();
}

int TMainForm::Scaled(int designPixels) const {
  return ::MulDiv(designPixels, static_cast<int>(Dpi), kDesignDpi);
}

int TMainForm::Unscaled(int pixels) const {
  return ::MulDiv(pixels, kDesignDpi, static_cast<int>(Dpi));
}

RECT TMainForm::BrowserRect() const {
  return {kBevel, kBevel, Scaled(600) - kBevel, Scaled(200) - kBevel};
}

// The font, the fixed places and sizes of the controls, and the layout, at the window's scale.
void TMainForm::ApplyDpi() {
  // The window font, with the Shift-JIS character set so that every control shows Japanese
  // on any Windows; a control left on the system font would show boxes on an English one.
  LOGFONTW font{};
  font.lfHeight = -Scaled(kFontHeight);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  SjisToWide(texts::kWindowFontName).copy(font.lfFaceName, LF_FACESIZE - 1);
  TUniqueFont scaledFont(::CreateFontIndirectW(&font));
  for (HWND control :
       {LabelA1, Label1, Label2, Label3, Label4, Label5, Button2, Button1, ListBox1, Memo1, EditA})
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont.get()), FALSE);
  WindowFont = std::move(scaledFont);  // the old font goes once no control uses it
  ::SendMessageW(ListBox1, LB_SETITEMHEIGHT, 0, ListItemHeight());

  auto place = [&](HWND window, int x, int y, int cx, int cy) {
    ::SetWindowPos(window, nullptr, Scaled(x), Scaled(y), Scaled(cx), Scaled(cy),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(Button2, 0, 80, 89, 25);
  place(Button1, 96, 79, 89, 26);
  place(EditA, 216, 400, 25, 21);  // outside the panel's visible part
  place(Panel1, -3, -3, 600, 200);
  if (WebBrowser1) WebBrowser1->Move(BrowserRect());
  const POINT labels[] = {{0, 0}, {8, 16}, {8, 32}, {8, 48}, {8, 64}};
  int i = 0;
  for (HWND label : {Label1, Label2, Label3, Label4, Label5}) {
    ::SetWindowPos(label, nullptr, Scaled(labels[i].x), Scaled(labels[i].y), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ++i;
    const int length = ::GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(label, text.data(), length + 1)));
    SizeLabelToCaption(label, text);
  }
  Layout();
}

TMainForm::~TMainForm() {
  Reading.reset();
  WebBrowser1.reset();
  if (Form1) ::DestroyWindow(Form1);
}

int TMainForm::ListItemHeight() const {
  // 13 pixels as designed; more when the font is taller (a substitute for MS Gothic, as an
  // English Windows has), so that rows do not clip.
  const TWindowDc screen(nullptr);
  const TSelectGuard font(screen.get(), WindowFont.get());
  TEXTMETRICW metrics{};
  if (!::GetTextMetricsW(screen.get(), &metrics)) return Scaled(kListItemHeight);
  return std::max<int>(Scaled(kListItemHeight), metrics.tmHeight);
}

// Placed and given the font by ApplyDpi and Layout.
HWND TMainForm::Child(HWND parent, const wchar_t* windowClass, const std::string& sjisText,
                      DWORD style, int id) {
  const DWORD extended = windowClass == kPanelClass ? WS_EX_CONTROLPARENT : 0;
  HWND child =
      ::CreateWindowExW(extended, windowClass, SjisToWide(sjisText).c_str(), style, 0, 0, 0, 0,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance, this);
  if (!child) {
    // A window without one of its controls is no window to show: the form goes while this
    // object still stands to answer its last messages, and the program ends (its entry
    // catches this).
    ::DestroyWindow(Form1);
    throw std::runtime_error("a control of the main window could not be created");
  }
  // The system's controls (labels, buttons, the list) never see WM_NCCREATE of ours.
  ::SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return child;
}

void TMainForm::Show() {
  Form.PlaceWindow();
  const HWND form = Form1;
  const std::string path = Form.TransferFilePath();
  std::unique_ptr<TInputFile> file = Host.OpenForReading(path);
  // There but not to be opened: another program holds it.
  Locked = !file && Host.FileExists(path);
  Reading = std::make_unique<TBackgroundRead>(std::move(file), Host,
                                              [form] { ::PostMessageW(form, kReadDone, 0, 0); });
  if (Reading->Done(kReadBeforeShowing)) {
    FinishReading();
  } else {
    SetCaption(TLabel::LabelA1, Reading->ProgressText());
    ::EnableWindow(Button2, FALSE);  // nothing to search yet
    ::SetTimer(Form1, kProgressTimer, kProgressPeriod, nullptr);
  }
  Form.OpenPromotion();
  ::ShowWindow(Form1, SW_SHOWNORMAL);
  ::UpdateWindow(Form1);
}

void TMainForm::CloseForm(bool sessionEnding) {
  if (!Form1 || Closing) return;
  Closing = true;
  Form.FormClose();
  // Not while the session ends: a box then would hold up logging off.
  if (!Form.SettingsSaved && !sessionEnding) Host.ShowMessage(texts::kSettingsNotSaved);
  ::DestroyWindow(Form1);
}

void TMainForm::FinishReading() {
  if (!Reading || Closing) return;  // closed while reading: the reading is dropped
  ::KillTimer(Form1, kProgressTimer);
  TJwwGaibu model = Reading->Take();
  const TReadProblem problem = Locked ? TReadProblem::Locked : Reading->Problem();
  Reading.reset();
  ::EnableWindow(Button2, TRUE);
  Form.ShowReadDrawing(std::move(model), problem);
  ::InvalidateRect(PaintBox1, nullptr, FALSE);  // the next paint composes
}

// Bottom strips first (the promotion strip at the very bottom, LabelA1 above it), then the
// right-hand panel and its splitter, and the paint area in what is left, as the form aligns
// its controls. Inside the panel: Panel3 at the top, the memo at the bottom, the list between.
void TMainForm::Layout() {
  if (!PaintBox1) return;  // sized while it is being made: its controls come later
  RECT client{};
  ::GetClientRect(Form1, &client);
  const int w = client.right, h = client.bottom;
  const int scrollBox = Scaled(kScrollBox1Height), labelA1 = Scaled(kLabelA1Height);
  const int splitter = Scaled(kSplitterWidth);
  const int panel3 = Scaled(kPanel3Height), memo = Scaled(kMemo1Height);
  const int top = std::max(0, h - scrollBox - labelA1);
  const int panel = std::clamp(Panel2Width, 0, std::max(0, w - splitter));
  const int paint = std::max(0, w - panel - splitter);
  HDWP moves = ::BeginDeferWindowPos(5);
  auto place = [&](HWND window, int x, int y, int cx, int cy) {
    moves = ::DeferWindowPos(moves, window, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(ScrollBox1, 0, h - scrollBox, w, scrollBox);
  place(LabelA1, 0, top, w, labelA1);
  place(Panel2, w - panel, 0, panel, top);
  place(Splitter1, paint, 0, splitter, top);
  place(PaintBox1, 0, 0, paint, top);
  ::EndDeferWindowPos(moves);

  const int inside = std::max(0, panel - 2 * kBevel);
  const int listHeight = std::max(0, top - 2 * kBevel - panel3 - memo);
  ::SetWindowPos(Panel3, nullptr, kBevel, kBevel, inside, panel3, SWP_NOZORDER);
  ::SetWindowPos(ListBox1, nullptr, kBevel, kBevel + panel3, inside, listHeight, SWP_NOZORDER);
  ::SetWindowPos(Memo1, nullptr, kBevel, kBevel + panel3 + listHeight, inside, memo, SWP_NOZORDER);

  const TPoint size = PaintAreaSize();
  if (!Surface || Surface->Dib.Width() != std::max(size.X, 1) ||
      Surface->Dib.Height() != std::max(size.Y, 1)) {
    Surface.reset();  // the canvas on the old surface goes before a new one is made
    Surface = std::make_unique<TPaintSurface>(std::max(size.X, 1), std::max(size.Y, 1));
    ::InvalidateRect(PaintBox1, nullptr, FALSE);
  }
}

void TMainForm::SizeLabelToCaption(HWND label, const std::wstring& text) {
  const TWindowDc dc(label);
  const TSelectGuard font(dc.get(), WindowFont.get());
  const int least = Scaled(kFontHeight);
  SIZE extent{0, least};
  if (!text.empty())
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  ::SetWindowPos(label, nullptr, 0, 0, extent.cx, std::max<LONG>(extent.cy, least),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TMainForm::LabelWindow(TLabel label) const {
  switch (label) {
    case TLabel::Label2:
      return Label2;
    case TLabel::Label3:
      return Label3;
    case TLabel::Label4:
      return Label4;
    case TLabel::Label5:
      return Label5;
    default:
      return LabelA1;
  }
}

// ---- TWindowControls ----

std::string TMainForm::Caption(TLabel label) const {
  const auto it = Captions.find(label);
  return it == Captions.end() ? std::string() : it->second;
}

void TMainForm::SetCaption(TLabel label, const std::string& text) {
  Captions[label] = text;
  const std::wstring wide = SjisToWide(text);
  HWND window = LabelWindow(label);
  ::SetWindowTextW(window, wide.c_str());
  if (label != TLabel::LabelA1) SizeLabelToCaption(window, wide);  // LabelA1 keeps its size
}

void TMainForm::ClearList() {
  ::SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0);
}

void TMainForm::AddListRow(const std::string& text) {
  ::SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SjisToWide(text).c_str()));
}

void TMainForm::SetListRows(std::vector<std::string> rows) {
  std::vector<std::wstring> wide;
  wide.reserve(rows.size());
  size_t characters = 0;
  for (const std::string& row : rows) characters += wide.emplace_back(SjisToWide(row)).size() + 1;
  // Repainted once, its storage taken once: a list box redrawn and regrown for every added row
  // made a search of 10,000 references take most of a minute.
  const TRedrawOff quiet(ListBox1);
  ::SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0);
  ::SendMessageW(ListBox1, LB_INITSTORAGE, wide.size(), characters * sizeof(wchar_t));
  for (const std::wstring& row : wide)
    ::SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

int32_t TMainForm::ListCount() const {
  return static_cast<int32_t>(::SendMessageW(ListBox1, LB_GETCOUNT, 0, 0));
}

int32_t TMainForm::ListSelection() const {
  const LRESULT selected = ::SendMessageW(ListBox1, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : static_cast<int32_t>(selected);
}

TWindowBounds TMainForm::WindowBounds() const {
  RECT r{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::IsIconic(Form1) && ::GetWindowPlacement(Form1, &placement) &&
      ::GetMonitorInfoW(::MonitorFromWindow(Form1, MONITOR_DEFAULTTONEAREST), &monitor))
    // Minimised: where it will come back.
    r = ScreenFromWorkspace(placement.rcNormalPosition, monitor.rcMonitor, monitor.rcWork);
  else
    ::GetWindowRect(Form1, &r);
  // In pixels at 96 dpi, as the settings file keeps them on any monitor.
  return {Unscaled(r.left), Unscaled(r.top), Unscaled(r.right - r.left),
          Unscaled(r.bottom - r.top)};
}

void TMainForm::SetWindowBounds(const TWindowBounds& design) {
  const TWindowBounds b{Scaled(design.Left), Scaled(design.Top), Scaled(design.Width),
                        Scaled(design.Height)};
  int left = b.Left, top = b.Top;
  if (!::IsWindowVisible(Form1)) {
    // The saved place, before the window is first shown: onto the work area of the nearest
    // monitor, the size kept, so that a monitor gone since (or a hand-edited file) cannot
    // leave the window out of reach.
    const RECT wanted{b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT& work = monitor.rcWork;
      left = std::clamp<LONG>(b.Left, work.left, std::max(work.left, work.right - b.Width));
      top = std::clamp<LONG>(b.Top, work.top, std::max(work.top, work.bottom - b.Height));
    }
  }
  ::SetWindowPos(Form1, nullptr, left, top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::SetPanelWidth(int32_t width) {
  Panel2Width = Scaled(width);
  Layout();
}

TPoint TMainForm::PaintAreaSize() const {
  RECT r{};
  ::GetClientRect(PaintBox1, &r);
  return {r.right, r.bottom};
}

TPoint TMainForm::CursorPosition() const {
  POINT p{};
  ::GetCursorPos(&p);
  ::ScreenToClient(PaintBox1, &p);
  return {p.x, p.y};
}

void TMainForm::FocusEditA() {
  if (::GetFocus() != EditA) ::SetFocus(EditA);
}

void TMainForm::ShowPaintArea() {
  Surface->Canvas.Flush();
  const TWindowDc dc(PaintBox1);
  ::BitBlt(dc.get(), 0, 0, Surface->Dib.Width(), Surface->Dib.Height(), Surface->Dib.Dc(), 0, 0,
           SRCCOPY);
}

void TMainForm::CloseWindow() {
  ::SendMessageW(Form1, WM_CLOSE, 0, 0);
}

// ---- Messages ----

bool TMainForm::PreviewMessage(const MSG& m) {
  if (m.hwnd != Form1 && !::IsChild(Form1, m.hwnd)) return false;
  return Guarded([&]() -> LRESULT {
    if (m.message == WM_KEYDOWN) return OnKeyDown(m.wParam);
    if (m.message != WM_MOUSEWHEEL) return false;
    // Counted here once; a turn that zooms nothing goes on to the control, which must not count
    // it again (nor the form, to which the control hands it on).
    if (OnMouseWheel(m.wParam, m.lParam)) return true;
    const TWheelCounted counted(WheelCounted);
    ::DispatchMessageW(&m);
    return true;
  });
}

bool TMainForm::OnKeyDown(WPARAM key) {
  return Form.FormKeyDown(static_cast<int32_t>(key), ::GetKeyState(VK_SHIFT) < 0);
}

LRESULT TMainForm::OnWheelMessage(HWND window, WPARAM w, LPARAM l) {
  if (!WheelCounted && OnMouseWheel(w, l)) return 0;
  // The default hands the message to the parent window: it has been counted.
  const TWheelCounted counted(WheelCounted);
  return ::DefWindowProcW(window, WM_MOUSEWHEEL, w, l);
}

bool TMainForm::OnMouseWheel(WPARAM w, LPARAM l) {
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};  // screen coordinates
  ::ScreenToClient(PaintBox1, &p);
  return Form.FormMouseWheel(GET_WHEEL_DELTA_WPARAM(w), {p.x, p.y});
}

void TMainForm::OnCommand(int id, int code) {
  if (id == kIdButton2 && code == BN_CLICKED) Form.Button2Click();
  if (id == kIdButton1 && code == BN_CLICKED) Form.Button1Click();
  if (id == kIdListBox1 && code == LBN_DBLCLK) Form.ListBox1DblClick();
  if (id == kIdListBox1 && code == LBN_SELCHANGE) Form.ListBox1Click();
}

void TMainForm::OnListContextMenu(LPARAM screenPoint) {
  POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  int32_t row = ListSelection();
  if (at.x == -1 && at.y == -1) {
    // The menu key: the selected row's menu, below the row.
    RECT item{};
    if (row < 0 ||
        ::SendMessageW(ListBox1, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
      return;
    at = {item.left, item.bottom};
    ::ClientToScreen(ListBox1, &at);
  } else {
    POINT client = at;
    ::ScreenToClient(ListBox1, &client);
    const LRESULT hit =
        ::SendMessageW(ListBox1, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    if (HIWORD(hit)) return;  // below the last row
    row = LOWORD(hit);
    if (row != ListSelection()) {
      ::SendMessageW(ListBox1, LB_SETCURSEL, row, 0);
      Form.ListBox1Click();
    }
  }
  const std::vector<std::string> items = Form.ListBox1MenuItems(row);
  if (items.empty()) return;
  const TUniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  for (size_t i = 0; i < items.size(); ++i) {
    // The last item opens a folder; the copies stand apart from it.
    if (i + 1 == items.size()) ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.get(), MF_STRING, i + 1, SjisToWide(items[i]).c_str());
  }
  const int chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                      at.x, at.y, 0, Form1, nullptr);
  if (chosen > 0) Form.ListBox1MenuChoice(row, chosen - 1);
}

TSurface TMainForm::SurfaceOf(HWND control) const {
  if (control == Memo1) return TSurface::Memo;
  if (control == LabelA1) return TSurface::StatusLine;
  if (control == Panel2) return TSurface::Panel;
  if (control == EditA) return TSurface::Edit;
  if (control == ScrollBox1 || control == Panel1) return TSurface::Face;
  return TSurface::Form;  // the form, Panel3 and its labels, the splitter
}

HBRUSH TMainForm::BackgroundOf(HWND control) const {
  const TSurface surface = SurfaceOf(control);
  const int system = SurfaceColors(surface, HighContrast).Background;
  if (system >= 0) return ::GetSysColorBrush(system);
  switch (surface) {
    case TSurface::Memo:
      return MemoColor.get();
    case TSurface::StatusLine:
      return LabelA1Color.get();
    case TSurface::Panel:
    case TSurface::Edit:
      return Cream.get();
    default:
      return White.get();
  }
}

bool TMainForm::HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

LRESULT TMainForm::OnFormMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    // Keys and wheel turns sent to the window itself rather than through the message loop.
    case WM_KEYDOWN:
      if (OnKeyDown(w)) return 0;
      break;
    case WM_MOUSEWHEEL:
      return OnWheelMessage(window, w, l);
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(l);
      info->ptMinTrackSize = {Scaled(kMinWindowWidth), Scaled(kMinWindowHeight)};
      return 0;
    }
    case WM_DPICHANGED: {
      // Moved onto a monitor of another scale (or the user changed it): everything takes the
      // new scale, and the window the place and size Windows suggests for it.
      const UINT dpi = LOWORD(w);
      if (dpi > 0 && dpi != Dpi) {
        Panel2Width = ::MulDiv(Panel2Width, static_cast<int>(dpi), static_cast<int>(Dpi));
        Dpi = dpi;
        ApplyDpi();
      }
      const RECT& suggested = *reinterpret_cast<const RECT*>(l);
      ::SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_SIZE:
      if (w == SIZE_MINIMIZED) return 0;
      Layout();
      Form.FormResize();
      return 0;
    case WM_SYSCOMMAND:
      // The application's window carries the task-bar button: minimising is its business.
      if ((w & 0xFFF0) == SC_MINIMIZE && ::GetWindow(window, GW_OWNER)) {
        ::ShowWindow(::GetWindow(window, GW_OWNER), SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT r{};
      ::GetClientRect(window, &r);
      ::FillRect(reinterpret_cast<HDC>(w), &r, BackgroundOf(window));
      return 1;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // A high-contrast theme switched on or off while the window is open.
      if (const bool on = HighContrastOn(); on != HighContrast) {
        HighContrast = on;
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return OnPanelMessage(window, message, w, l);
    case kReadDone:
      FinishReading();
      return 0;
    case WM_TIMER:
      if (w == kProgressTimer && Reading) SetCaption(TLabel::LabelA1, Reading->ProgressText());
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Logging off or shutting down: the process may end as soon as this returns.
      if (w) CloseForm(true);
      return 0;
    case WM_CLOSE:
      CloseForm();
      return 0;
    case WM_DESTROY:
      // The browser control is closed while its windows, children of ours, still stand.
      WebBrowser1.reset();
      Form1 = nullptr;
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, w, l);
}

LRESULT TMainForm::OnPanelMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(w), HIWORD(w));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(w) != ListBox1) break;
      OnListContextMenu(l);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      HWND control = reinterpret_cast<HWND>(l);
      const HBRUSH brush = BackgroundOf(control);
      LOGBRUSH color{};
      ::GetObjectW(brush, sizeof color, &color);
      ::SetBkColor(reinterpret_cast<HDC>(w), color.lbColor);
      ::SetTextColor(reinterpret_cast<HDC>(w),
                     ::GetSysColor(SurfaceColors(SurfaceOf(control), HighContrast).Text));
      return reinterpret_cast<LRESULT>(brush);
    }
    case WM_ERASEBKGND: {
      RECT r{};
      ::GetClientRect(window, &r);
      ::FillRect(reinterpret_cast<HDC>(w), &r, BackgroundOf(window));
      return 1;
    }
    case WM_PAINT: {
      const TPaintGuard paint(window);
      if (window != ScrollBox1) {
        RECT r{};
        ::GetClientRect(window, &r);
        ::DrawEdge(paint.get(), &r, BDR_RAISEDINNER, BF_RECT);
      }
      return 0;
    }
  }
  return ::DefWindowProcW(window, message, w, l);
}

LRESULT TMainForm::OnPaintBoxMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  const int32_t x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  switch (message) {
    case WM_PAINT: {
      const TPaintGuard paint(window);
      if (Reading) {  // nothing to compose yet
        ::FillRect(paint.get(), &paint.Area(), White.get());
        return 0;
      }
      // The paint request's canvas is the paint area's surface, put on the screen here.
      Form.PaintBox1Paint(Surface->Canvas);
      Surface->Canvas.Flush();
      const RECT& area = paint.Area();
      ::BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
               Surface->Dib.Dc(), area.left, area.top, SRCCOPY);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_MOUSEWHEEL:
      return OnWheelMessage(window, w, l);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      // Held until the last button is up, so a drag that ends outside still ends the gesture.
      ::SetCapture(window);
      const bool twice =
          message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
      Form.PaintBox1MouseDown(MouseFlags(w, twice), x, y);
      return 0;
    }
    case WM_MOUSEMOVE:
      Form.PaintBox1MouseMove(x, y);
      return 0;
    case WM_CAPTURECHANGED:
      // Taken by another window mid-gesture (our own release comes after the buttons are up).
      if (reinterpret_cast<HWND>(l) != window) Form.PaintBox1CaptureLost();
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Form.PaintBox1MouseUp(x, y);
      if (!(w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ::ReleaseCapture();
      return 0;
  }
  return ::DefWindowProcW(window, message, w, l);
}

LRESULT TMainForm::OnSplitterMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r{};
      ::GetClientRect(window, &r);
      ::FillRect(reinterpret_cast<HDC>(w), &r, BackgroundOf(window));
      return 1;
    }
    case WM_LBUTTONDOWN:
      ::SetCapture(window);
      SplitterGrab = p.x;
      return 0;
    case WM_MOUSEMOVE:
      if (SplitterGrab >= 0) {
        RECT client{};
        ::GetClientRect(Form1, &client);
        const int narrowest = Scaled(kSplitterMinSize);
        const int widest =
            std::max<int>(narrowest, client.right - Scaled(kSplitterWidth) - narrowest);
        Panel2Width = std::clamp<int32_t>(Panel2Width - (p.x - SplitterGrab), narrowest, widest);
        Layout();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (SplitterGrab >= 0 && message == WM_LBUTTONUP) ::ReleaseCapture();
      SplitterGrab = -1;
      return 0;
  }
  return ::DefWindowProcW(window, message, w, l);
}

}  // namespace pikrotta::win32
