// Times pikrotta.exe from outside on generated drawings:
//   window_timing.exe FOLDER [mixed [N]]  N (1,000,000) mixed entities: start to the first
//                                         composed picture, one wheel zoom, Home, repaints
//   window_timing.exe FOLDER search N     N image references: the search button, start to end
//   window_timing.exe FOLDER circles MB   a file of MB megabytes of circles, Esc held from the
//                                         moment the window is shown: shown to composed; the
//                                         file esc-held.flag in FOLDER asks for the key
// FOLDER holds pikrotta.exe; JWC_TEMP.TXT and the search's files are written there.
#include "windows_api.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "control_ids.h"
#include "drawing_fixture.h"
#include "find_control.h"
#include "win32_handles.h"

namespace {

using namespace pikrotta::win32;
using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::time_point from, TClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

void WriteFile(const std::wstring& path, const std::string& text) {
  TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());  // our folders are ASCII
}

std::string ReadSmallFile(const std::wstring& path) {
  TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  char buffer[4096];
  DWORD got = 0;
  if (!file || !::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return {};
  return std::string(buffer, got);
}

// The program's CPU time, user and system, as Linux counts it: on a shared machine the wall
// time says more about the neighbours than about the program, and Wine's GetProcessTimes of
// another process does not count it. The process is found by its command line in /proc.
class TUnixCpuTime {
 public:
  explicit TUnixCpuTime(const std::wstring& program) {
    WIN32_FIND_DATAW found;
    const TUniqueFind search(::FindFirstFileW(L"Z:\\proc\\*", &found));
    if (!search) return;
    const std::string wanted = Narrow(program);
    do {
      const std::wstring name = found.cFileName;
      if (name.empty() || !std::all_of(name.begin(), name.end(), iswdigit)) continue;
      const std::string line = ReadSmallFile(L"Z:\\proc\\" + name + L"\\cmdline");
      if (line.substr(0, line.find('\0')) == wanted) Stat = L"Z:\\proc\\" + name + L"\\stat";
    } while (Stat.empty() && ::FindNextFileW(search.get(), &found));
  }
  bool Found() const { return !Stat.empty(); }
  double Milliseconds() const {
    // utime and stime are the 14th and 15th fields, after the command in parentheses.
    const std::string stat = ReadSmallFile(Stat);
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
      return 0;
    return static_cast<double>(utime + stime) * 1000.0 / kTicksPerSecond;
  }

 private:
  static constexpr double kTicksPerSecond = 100;  // USER_HZ on Linux
  std::wstring Stat;
};

struct TRun {
  TUniqueFile Process, Thread;
  TClock::time_point Start, Shown, Read;
  HWND Form = nullptr, Paint = nullptr;
};

// Starts the program and waits until its window is shown; then calls whenShown at once.
template <class F>
bool Start(const std::wstring& folder, TRun& run, F whenShown) {
  const std::wstring program = folder + L"\\pikrotta.exe";
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  run.Start = TClock::now();
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
    return false;
  run.Process.reset(process.hProcess);
  run.Thread.reset(process.hThread);
  while (!run.Form && Milliseconds(run.Start, TClock::now()) < 120000) {
    run.Form = ::FindWindowW(kFormClass, L"Pikrotta");
    if (!run.Form || !::IsWindowVisible(run.Form)) run.Form = nullptr, ::Sleep(5);
  }
  if (!run.Form) return false;
  run.Shown = TClock::now();
  whenShown();
  run.Paint = FindControl(run.Form, kIdPaintBox1);
  return run.Paint != nullptr;
}

// The status line as UTF-8: while a large drawing is read it tells how far the reading is.
std::string StatusLine(HWND form) {
  wchar_t text[256] = {};
  ::GetWindowTextW(FindControl(form, kIdLabelA1), text, 256);
  char utf8[1024] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

// The first composition draws an aqua frame round the paint area (a repaint draws it blue):
// its corner pixel on the screen tells that the picture is there.
// While it waits, notes when the status line's progress went away: the drawing was read.
bool WaitComposed(TRun& run) {
  POINT corner{0, 0};
  ::ClientToScreen(run.Paint, &corner);
  bool reading = false;
  for (;;) {
    // The text of another process's window is read without a message: this never waits.
    const bool progress = !StatusLine(run.Form).empty();
    if (progress) reading = true;
    if (reading && !progress && run.Read == TClock::time_point{}) run.Read = TClock::now();
    const TWindowDc screen(nullptr);
    if (::GetPixel(screen.get(), corner.x, corner.y) == RGB(0, 255, 255)) return true;
    if (Milliseconds(run.Start, TClock::now()) > 300000) return false;
    ::Sleep(1);
  }
}

void Close(const TRun& run) {
  ::SendMessageW(run.Form, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(run.Process.get(), 20000);
}

int TimeMixed(const std::wstring& folder, int entities) {
  const std::string text = pikrotta::test::MixedDrawingText(entities);
  WriteFile(folder + L"\\JWC_TEMP.TXT", text);
  std::printf("transfer file: %.1f MB\n", text.size() / 1e6);
  TRun run;
  std::string status;
  if (!Start(folder, run, [&] { status = StatusLine(run.Form); }) || !WaitComposed(run)) return 1;
  const TClock::time_point composed = TClock::now();
  const TUnixCpuTime cpu(folder + L"\\pikrotta.exe");
  const double composedCpu = cpu.Milliseconds();
  ::SendMessageW(run.Paint, WM_NULL, 0, 0);  // idle again
  std::printf("start to window shown: %.0f ms, status line \"%s\"\n",
              Milliseconds(run.Start, run.Shown), status.c_str());
  if (run.Read != TClock::time_point{})
    std::printf("start to the drawing read: %.0f ms\n", Milliseconds(run.Start, run.Read));
  std::printf("start to first composed picture: %.0f ms, CPU %.0f ms%s\n",
              Milliseconds(run.Start, composed), composedCpu,
              cpu.Found() ? "" : " (no process of that name in /proc)");

  RECT r{};
  ::GetClientRect(run.Paint, &r);
  POINT centre{r.right / 2, r.bottom / 2};
  ::ClientToScreen(run.Paint, &centre);
  std::vector<double> zooms, zoomsCpu, repaints;
  for (int i = 0; i < 4; ++i) {
    const TClock::time_point before = TClock::now();
    const double beforeCpu = cpu.Milliseconds();
    ::SendMessageW(run.Paint, WM_MOUSEWHEEL, MAKEWPARAM(0, i % 2 ? WHEEL_DELTA : -WHEEL_DELTA),
                   MAKELPARAM(centre.x, centre.y));
    zooms.push_back(Milliseconds(before, TClock::now()));
    zoomsCpu.push_back(cpu.Milliseconds() - beforeCpu);
  }
  for (int i = 0; i < 21; ++i) {
    ::InvalidateRect(run.Paint, nullptr, FALSE);
    const TClock::time_point before = TClock::now();
    ::UpdateWindow(run.Paint);
    repaints.push_back(Milliseconds(before, TClock::now()));
  }
  const TClock::time_point beforeHome = TClock::now();
  const double beforeHomeCpu = cpu.Milliseconds();
  ::SendMessageW(run.Form, WM_KEYDOWN, VK_HOME, 0);
  const double home = Milliseconds(beforeHome, TClock::now());
  const double homeCpu = cpu.Milliseconds() - beforeHomeCpu;
  std::sort(repaints.begin(), repaints.end());
  std::printf(
      "one wheel zoom: %.0f, %.0f, %.0f, %.0f ms (in, out, in, out), CPU %.0f, %.0f, %.0f, "
      "%.0f ms\n",
      zooms[0], zooms[1], zooms[2], zooms[3], zoomsCpu[0], zoomsCpu[1], zoomsCpu[2], zoomsCpu[3]);
  std::printf("Home (fit and compose): %.0f ms, CPU %.0f ms\n", home, homeCpu);
  std::printf("repaint from the bitmap: median %.2f ms, slowest %.2f ms (21 exposures)\n",
              repaints[repaints.size() / 2], repaints.back());
  Close(run);
  return 0;
}

// N references on a 100-column grid: half to one file that is there, half to missing ones; Jw_cad
// found through the registry so that the search finds its auto-save folder without a message.
int TimeSearch(const std::wstring& folder, int count) {
  const std::string where = Narrow(folder);
  ::CreateDirectoryW((folder + L"\\images").c_str(), nullptr);
  ::CreateDirectoryW((folder + L"\\BAK").c_str(), nullptr);
  WriteFile(folder + L"\\images\\p.bmp", "x");
  WriteFile(folder + L"\\Jw_win.exe", "x");
  WriteFile(folder + L"\\jw_win.jwf", "[JW_WIN]\r\nAutoSaveDir = " + where + "\\BAK\r\nEND\r\n");
  HKEY raw = nullptr;
  ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Jwwin.Document\\shell\\open\\command", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &raw, nullptr);
  const TUniqueKey key(raw);
  const std::wstring open = L"\"" + folder + L"\\Jw_win.exe\" \"%1\"";
  ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(open.c_str()),
                   static_cast<DWORD>((open.size() + 1) * sizeof(wchar_t)));
  std::string text = "file=" + where + "\\plan.jww\r\n";
  for (int i = 0; i < count; ++i) {
    std::string name = "p";
    if (i % 2 == 0) name = 'q' + std::to_string(i);
    text += "ch " + std::to_string(i % 100 * 50) + " " + std::to_string(i / 100 * 50);
    text += " 10 0 ^@BMimages\\" + name + ".bmp,30,20\r\n";
  }
  WriteFile(folder + L"\\JWC_TEMP.TXT", text);
  TRun run;
  if (!Start(folder, run, [] {}) || !WaitComposed(run)) return 1;
  const TClock::time_point before = TClock::now();
  ::SendMessageW(FindControl(run.Form, kIdButton2), BM_CLICK, 0, 0);
  const double took = Milliseconds(before, TClock::now());
  const auto rows = ::SendMessageW(FindControl(run.Form, kIdListBox1), LB_GETCOUNT, 0, 0);
  std::printf("search of %d references: %.0f ms, %d list rows\n", count, took,
              static_cast<int>(rows));
  Close(run);
  return rows == count + 1 ? 0 : 1;
}

int TimeCirclesWithEsc(const std::wstring& folder, int megabytes) {
  std::string text;
  text.reserve(static_cast<size_t>(megabytes) << 20);
  for (int i = 0; text.size() < static_cast<size_t>(megabytes) << 20; ++i) {
    text += "ci " + std::to_string(i % 2000) + ".25 " + std::to_string(i / 2000 % 1400) + ".75 " +
            std::to_string(i % 29 + 1) + ".5\n";
  }
  WriteFile(folder + L"\\JWC_TEMP.TXT", text);
  std::printf("transfer file: %.1f MB of circles\n", text.size() / 1e6);
  // The key is held through the X server (tools/window-timing.sh), as a user's key is: keys
  // sent with SendInput reach a busy Wine program's key state only when it reads its messages.
  const std::wstring flag = folder + L"\\esc-held.flag";
  TRun run;
  const bool started = Start(folder, run, [&] { WriteFile(flag, ""); });
  const bool composed = started && WaitComposed(run);
  const TClock::time_point end = TClock::now();
  ::DeleteFileW(flag.c_str());
  if (!composed) return 1;
  std::printf("start to window shown: %.0f ms\n", Milliseconds(run.Start, run.Shown));
  // The composition begins when the drawing is read: once the window is shown, or when the
  // status line's progress goes away.
  const TClock::time_point read = run.Read != TClock::time_point{} ? run.Read : run.Shown;
  std::printf("start to first composed picture: %.0f ms\n", Milliseconds(run.Start, end));
  std::printf("Esc held; drawing read to first composed picture: %.0f ms\n",
              Milliseconds(read, end));
  Close(run);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring folder = argv[1], kind = argc > 2 ? argv[2] : L"mixed";
  const int size = argc > 3 ? _wtoi(argv[3]) : 0;
  if (kind == L"mixed") return TimeMixed(folder, size > 0 ? size : 1'000'000);
  if (kind == L"search" && size > 0) return TimeSearch(folder, size);
  if (kind == L"circles" && size > 0) return TimeCirclesWithEsc(folder, size);
  return 2;
}
