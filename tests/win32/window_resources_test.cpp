// The window in this process, worked a few hundred times over: no GDI object and no window may
// be left behind by a composition, a resize, a search or a gesture. Wine's GetGuiResources is a
// stub that says 0, so the GDI objects are counted in the process's handle table.
#include <gtest/gtest.h>

#include <cstdint>

#include "control_ids.h"
#include "drawing_fixture.h"
#include "find_control.h"
#include "main_form.h"

namespace pikrotta::win32 {
namespace {

// An entry of the GDI handle table that the process environment block points to, as Windows
// and Wine lay it out in a 64-bit process.
struct TGdiHandleEntry {
  uint64_t Object;
  uint16_t ProcessId;
  uint16_t Count;
  uint16_t Unique;
  uint8_t Type;  // 0: free
  uint8_t Flags;
  uint64_t User;
};
static_assert(sizeof(TGdiHandleEntry) == 24);

int64_t GdiObjects() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted > 0) return counted;
  // The process environment block through ntdll, as the system's own tools find it.
  struct TBasicInformation {
    LONG_PTR ExitStatus;
    const uint8_t* EnvironmentBlock;
    ULONG_PTR Rest[4];
  } basic{};
  using TQuery = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<TQuery>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (!query || query(::GetCurrentProcess(), 0, &basic, sizeof basic, nullptr) != 0) return -1;
  const auto* table =
      *reinterpret_cast<const TGdiHandleEntry* const*>(basic.EnvironmentBlock + 0xF8);
  if (!table) return -1;
  const auto self = static_cast<uint16_t>(::GetCurrentProcessId());
  int64_t live = 0;
  for (size_t i = 0; i < 0x10000; ++i)
    live += table[i].Type != 0 && (table[i].ProcessId == self || table[i].ProcessId == 0);
  return live;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM l) {
  ++*reinterpret_cast<int64_t*>(l);
  ::EnumChildWindows(window, CountWindow, l);
  return TRUE;
}

int64_t Windows() {
  int64_t n = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

TEST(WindowResources, NothingGrowsOverCompositionsResizesSearchesAndGestures) {
  if (sizeof(void*) != 8)
    GTEST_SKIP() << "the handle table is read as a 64-bit process lays it out";
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  TMainForm::RegisterClasses(instance);
  TMainForm form(instance, nullptr);
  form.Host.ConsoleMessages = true;  // the search's message on standard error, not in a box
  form.Show();
  form.Form.ShowReadDrawing(TJwwGaibu(test::DemoDrawing()));
  const HWND window = form.Handle();
  const HWND paint = FindControl(window, kIdPaintBox1);
  const HWND search = FindControl(window, kIdButton2);
  ASSERT_TRUE(paint && search);

  auto work = [&](int i) {
    ::SetWindowPos(window, nullptr, 0, 0, 520 + 13 * (i % 5), 420 + 11 * (i % 3),
                   SWP_NOMOVE | SWP_NOZORDER);
    ::RedrawWindow(paint, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageW(search, BM_CLICK, 0, 0);
    ::SendMessageW(paint, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(100, 100));
    // Both buttons dragged: the rubber band, then a zoom to its rectangle.
    ::SendMessageW(paint, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(paint, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(21, 21));
    ::SendMessageW(paint, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(120, 90));
    ::SendMessageW(paint, WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(120, 90));
    ::SendMessageW(paint, WM_LBUTTONUP, 0, MAKELPARAM(120, 90));
    // The middle button pans the copied picture.
    ::SendMessageW(paint, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(50, 50));
    ::SendMessageW(paint, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(70, 60));
    ::SendMessageW(paint, WM_MBUTTONUP, 0, MAKELPARAM(70, 60));
    for (WPARAM key : {VK_PRIOR, VK_NEXT, VK_LEFT, VK_HOME})
      ::SendMessageW(window, WM_KEYDOWN, key, 0);
    ::SetWindowPos(window, nullptr, 0, 0, 600, 460, SWP_NOMOVE | SWP_NOZORDER);
    ::RedrawWindow(paint, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
  };
  for (int i = 0; i < 15; ++i) work(i);  // the canvas's caches fill up first
  const int64_t gdiBefore = GdiObjects(), windowsBefore = Windows();
  ASSERT_GT(gdiBefore, 0);
  for (int i = 0; i < 300; ++i) work(i);
  EXPECT_LE(GdiObjects(), gdiBefore + 8) << "GDI objects before: " << gdiBefore;
  EXPECT_EQ(Windows(), windowsBefore);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  Pump();
}

}  // namespace
}  // namespace pikrotta::win32
