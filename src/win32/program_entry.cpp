// The program entry: the application's window (its title is the task-bar name), the main
// window owned by it, and the message loop.
#include "windows_api.h"

#include <commctrl.h>
#include <ole2.h>

#include "control_ids.h"
#include "main_form.h"
#include "text_win32.h"
#include "window_texts.h"

namespace {

using namespace pikrotta::win32;

constexpr UINT kActivateForm = WM_APP + 1;

// The application's window: never seen itself, it carries the task-bar button with the
// application title; the main window it owns has none of its own. Its user data is the main
// window's handle: the task bar's Close and End task close that window, which saves.
LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  const bool close = (message == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE) || message == WM_CLOSE;
  HWND form = reinterpret_cast<HWND>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (close) {
    if (form) ::PostMessageW(form, WM_CLOSE, 0, 0);
    return 0;
  }
  // Restored from the task bar, this window is made active: the keys belong to the form.
  if (message == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE && !HIWORD(w)) {
    ::PostMessageW(window, kActivateForm, 0, 0);
  } else if (message == kActivateForm) {
    if (form && ::IsWindowVisible(form) && ::GetActiveWindow() == window) ::SetActiveWindow(form);
    return 0;
  }
  return ::DefWindowProcW(window, message, w, l);
}

HWND CreateApplicationWindow(HINSTANCE instance) {
  const HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  WNDCLASSEXW application{};
  application.cbSize = sizeof application;
  application.lpfnWndProc = ApplicationProc;
  application.hInstance = instance;
  application.hIcon = icon;
  application.hIconSm = icon;
  application.lpszClassName = kApplicationClass;
  ::RegisterClassExW(&application);
  const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2, y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  HWND window = ::CreateWindowExW(
      0, kApplicationClass, SjisToWide(pikrotta::texts::kApplicationTitle).c_str(),
      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS, x, y, 0, 0, nullptr,
      nullptr, instance, nullptr);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

// Initialises COM for the browser strip for as long as the program runs.
class TOleSession {
 public:
  TOleSession() : Ok(SUCCEEDED(::OleInitialize(nullptr))) {}
  ~TOleSession() {
    if (Ok) ::OleUninitialize();
  }
  TOleSession(const TOleSession&) = delete;
  TOleSession& operator=(const TOleSession&) = delete;

 private:
  bool Ok;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    const TOleSession ole;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    TMainForm::RegisterClasses(instance);
    HWND application = CreateApplicationWindow(instance);
    if (!application) return 1;  // no window classes, or no windows left in this session
    int exitCode = 0;
    {
      TMainForm form(instance, application);
      ::SetWindowLongPtrW(application, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form.Handle()));
      form.Show();
      MSG message;
      while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.PreviewMessage(message)) continue;
        if (form.Handle() && ::IsDialogMessageW(form.Handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      exitCode = static_cast<int>(message.wParam);
      ::SetWindowLongPtrW(application, GWLP_USERDATA, 0);
    }
    ::DestroyWindow(application);
    return exitCode;
  } catch (...) {
    return 1;
  }
}
