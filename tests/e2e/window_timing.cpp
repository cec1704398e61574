// Times pikrotta.exe on a generated drawing of 1,000,000 mixed entities, from outside: from
// the start of the process to the first composed picture, one wheel zoom, and repaints from
// the composed bitmap (an exposure).
//   window_timing.exe FOLDER     (FOLDER holds pikrotta.exe; JWC_TEMP.TXT is written there)
#include "windows_api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "control_ids.h"
#include "drawing_fixture.h"
#include "win32_handles.h"

namespace {

using namespace pikrotta::win32;
using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::time_point from, TClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

BOOL CALLBACK FindPaintBox(HWND child, LPARAM l) {
  if (::GetDlgCtrlID(child) != kIdPaintBox1) return TRUE;
  *reinterpret_cast<HWND*>(l) = child;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring folder = argv[1];
  {
    const std::string text = pikrotta::test::MixedDrawingText(1'000'000);
    TUniqueFile file(::CreateFileW((folder + L"\\JWC_TEMP.TXT").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    std::printf("transfer file: %.1f MB\n", text.size() / 1e6);
  }
  const std::wstring program = folder + L"\\pikrotta.exe";
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const TClock::time_point start = TClock::now();
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
    return 1;
  TUniqueFile processHandle(process.hProcess), threadHandle(process.hThread);
  HWND form = nullptr;
  while (!form && Milliseconds(start, TClock::now()) < 60000) {
    form = ::FindWindowW(kFormClass, L"Pikrotta");
    if (!form || !::IsWindowVisible(form)) form = nullptr, ::Sleep(5);
  }
  if (!form) return 1;
  const TClock::time_point shown = TClock::now();
  HWND paint = nullptr;
  ::EnumChildWindows(form, FindPaintBox, reinterpret_cast<LPARAM>(&paint));
  // The first composition draws an aqua frame round the paint area (a repaint draws it blue):
  // its corner pixel on the screen tells that the picture is there.
  POINT corner{0, 0};
  ::ClientToScreen(paint, &corner);
  for (;;) {
    const TWindowDc screen(nullptr);
    if (::GetPixel(screen.get(), corner.x, corner.y) == RGB(0, 255, 255)) break;
    if (Milliseconds(start, TClock::now()) > 60000) return 1;
    ::Sleep(1);
  }
  const TClock::time_point composed = TClock::now();
  ::SendMessageW(paint, WM_NULL, 0, 0);  // idle again
  std::printf("start to window shown: %.0f ms\n", Milliseconds(start, shown));
  std::printf("start to first composed picture: %.0f ms\n", Milliseconds(start, composed));

  RECT r{};
  ::GetClientRect(paint, &r);
  POINT centre{r.right / 2, r.bottom / 2};
  ::ClientToScreen(paint, &centre);
  std::vector<double> zooms, repaints;
  for (int i = 0; i < 4; ++i) {
    const TClock::time_point before = TClock::now();
    ::SendMessageW(paint, WM_MOUSEWHEEL, MAKEWPARAM(0, i % 2 ? WHEEL_DELTA : -WHEEL_DELTA),
                   MAKELPARAM(centre.x, centre.y));
    zooms.push_back(Milliseconds(before, TClock::now()));
  }
  for (int i = 0; i < 21; ++i) {
    ::InvalidateRect(paint, nullptr, FALSE);
    const TClock::time_point before = TClock::now();
    ::UpdateWindow(paint);
    repaints.push_back(Milliseconds(before, TClock::now()));
  }
  std::sort(repaints.begin(), repaints.end());
  std::printf("one wheel zoom: %.0f, %.0f, %.0f, %.0f ms (in, out, in, out)\n", zooms[0], zooms[1],
              zooms[2], zooms[3]);
  std::printf("repaint from the bitmap: median %.2f ms, slowest %.2f ms (21 exposures)\n",
              repaints[repaints.size() / 2], repaints.back());
  ::SendMessageW(form, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(process.hProcess, 20000);
  return 0;
}
