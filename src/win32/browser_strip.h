// The promotion strip: the shell's WebBrowser control in a minimal OLE in-place container.
// The window only asks it to navigate. Nothing ever waits on it: where it cannot be made,
// the strip stays empty, and its document is never asked for (under Wine without an HTML
// engine that question blocks for seconds).
#pragma once

#include <memory>
#include <string>

#include "windows_api.h"

namespace pikrotta::win32 {

class TBrowserStrip {
 public:
  // Creates the control inside parent, filling rect. Empty when the control cannot be made.
  TBrowserStrip(HWND parent, const RECT& rect);
  ~TBrowserStrip();
  TBrowserStrip(const TBrowserStrip&) = delete;
  TBrowserStrip& operator=(const TBrowserStrip&) = delete;

  bool Created() const;
  void Move(const RECT& rect);  // within the parent, as a new monitor's scale places it
  // Asks the control to load url and returns at once; failures are ignored.
  void Navigate(const std::wstring& url);

 private:
  class TSite;
  TSite* Site = nullptr;  // reference counted by COM; released in the destructor
};

}  // namespace pikrotta::win32
