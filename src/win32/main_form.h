// The main window on Windows: its controls laid out as the form was designed, the paint
// area's off-screen surface, and the window procedures, which only decode messages and call
// the portable handlers of TForm1. State is reached through each window's user data.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "background_read.h"
#include "browser_strip.h"
#include "gdi_canvas.h"
#include "main_window.h"
#include "stb_header_reader.h"
#include "surface_colors.h"
#include "win32_handles.h"
#include "win32_host.h"

namespace pikrotta::win32 {

class TMainForm : public TWindowControls {
 public:
  // Registers the window classes once per process.
  static void RegisterClasses(HINSTANCE instance);

  // Creates the window, owned by owner (the application's window), and runs FormCreate.
  TMainForm(HINSTANCE instance, HWND owner);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  HWND Handle() const { return Form1; }
  // Runs FormShow's steps and shows the window; a drawing that takes longer than half a
  // second to read is read while the window shows its progress, and composed when read.
  void Show();
  // The form's look at messages before the control they are for: key preview and the wheel.
  // True when the message was handled and must not be dispatched.
  bool PreviewMessage(const MSG& message);

  // TWindowControls
  std::string Caption(TLabel label) const override;
  void SetCaption(TLabel label, const std::string& text) override;
  void ClearList() override;
  void AddListRow(const std::string& text) override;
  void SetListRows(std::vector<std::string> rows) override;
  int32_t ListCount() const override;
  int32_t ListSelection() const override;
  // The window's bounds and the panel's width in pixels at 96 dpi, as the settings keep them;
  // the paint area, its cursor and its canvas in the monitor's own pixels.
  TWindowBounds WindowBounds() const override;
  void SetWindowBounds(const TWindowBounds& bounds) override;
  int32_t PanelWidth() const override { return Unscaled(Panel2Width); }
  void SetPanelWidth(int32_t width) override;
  TPoint PaintAreaSize() const override;
  TPoint CursorPosition() const override;
  double DpiScale() const override { return Dpi / 96.0; }
  void FocusEditA() override;
  TCanvas& PaintCanvas() override { return Surface->Canvas; }
  void ShowPaintArea() override;
  void CloseWindow() override;

  TWin32Host Host;
  TStbHeaderReader ImageHeaders;
  TForm1 Form{*this, Host};

 private:
  // The paint area's pixels and the canvas on them; replaced when the area changes size.
  struct TPaintSurface {
    TPaintSurface(int32_t width, int32_t height) : Dib(width, height), Canvas(Dib) {}
    TDibSurface Dib;
    TGdiCanvas Canvas;
  };

  template <LRESULT (TMainForm::*Handler)(HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK Dispatch(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT OnFormMessage(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT OnPanelMessage(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT OnPaintBoxMessage(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT OnSplitterMessage(HWND window, UINT message, WPARAM w, LPARAM l);

  HWND Child(HWND parent, const wchar_t* windowClass, const std::string& sjisText, DWORD style,
             int id);
  int Scaled(int designPixels) const;  // pixels at 96 dpi to the window's monitor
  int Unscaled(int pixels) const;
  RECT BrowserRect() const;
  void ApplyDpi();
  void Layout();
  int ListItemHeight() const;
  void SizeLabelToCaption(HWND label, const std::wstring& text);
  void OnCommand(int id, int code);
  // The right mouse button or the menu key on the list: the row's menu, and what was chosen.
  void OnListContextMenu(LPARAM screenPoint);
  void FinishReading();
  bool OnKeyDown(WPARAM key);
  bool OnMouseWheel(WPARAM w, LPARAM l);
  LRESULT OnWheelMessage(HWND window, WPARAM w, LPARAM l);
  // Saves the settings and closes, once, whichever way the program is asked to end.
  void CloseForm(bool sessionEnding = false);
  TSurface SurfaceOf(HWND control) const;
  HBRUSH BackgroundOf(HWND control) const;
  static bool HighContrastOn();
  HWND LabelWindow(TLabel label) const;

  HINSTANCE Instance;
  TUniqueFont WindowFont;
  TUniqueBrush White, Cream, MemoColor, LabelA1Color;
  bool HighContrast = HighContrastOn();
  HWND Form1 = nullptr;
  HWND LabelA1 = nullptr, PaintBox1 = nullptr, Splitter1 = nullptr, Panel2 = nullptr;
  HWND Panel3 = nullptr, Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr;
  HWND Label5 = nullptr, Button2 = nullptr, Button1 = nullptr, ListBox1 = nullptr;
  HWND Memo1 = nullptr, EditA = nullptr, ScrollBox1 = nullptr, Panel1 = nullptr;
  UINT Dpi = 96;
  int32_t Panel2Width = 201;               // in the window's pixels
  std::map<TLabel, std::string> Captions;  // Shift-JIS, as the handlers set them
  std::unique_ptr<TPaintSurface> Surface;
  std::unique_ptr<TBrowserStrip> WebBrowser1;
  int32_t SplitterGrab = -1;  // where the splitter was grabbed, while it is dragged
  bool Closing = false;
  bool Locked = false;  // the transfer file is there but could not be opened
  // While a wheel message that has been counted is handed on, so that it counts only once.
  bool WheelCounted = false;
  class TWheelCounted {
   public:
    explicit TWheelCounted(bool& flag) : Flag(flag), Was(flag) { flag = true; }
    ~TWheelCounted() { Flag = Was; }
    TWheelCounted(const TWheelCounted&) = delete;
    TWheelCounted& operator=(const TWheelCounted&) = delete;

   private:
    bool& Flag;
    const bool Was;
  };
  // While the drawing is read; it reads with Host, so it is the first member to go.
  std::unique_ptr<TBackgroundRead> Reading;
};

}  // namespace pikrotta::win32
