// Drives pikrotta.exe from outside, as a user and as accessibility tools reach it: finds the
// window by its caption, reads the labels and the list, clicks the search button, double-
// clicks a row, turns the wheel, presses keys, drags with both buttons, drags the splitter,
// resizes and closes the window, and checks what it shows (its pixels) and what it saves.
//   window_driver.exe PROGRAM EXPECTED_ROWS.txt SCREENSHOT.bmp LABEL2 LABEL3 TEMP_FOLDER [DPI]
// EXPECTED_ROWS.txt holds the list's rows in UTF-8, header first. DPI (96 unless given) is the
// display's scale the test was set up for: the window's metrics are checked at it. Prints one
// line per check and "N passed, M failed" last.
//   window_driver.exe --search SCREENSHOT.bmp    search in the open window, print the rows and
//                                                 save a screenshot, leaving the window open
//   window_driver.exe --close                     close the open window
#include "windows_api.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "control_ids.h"
#include "find_control.h"
#include "text_win32.h"
#include "win32_handles.h"

namespace {

using namespace pikrotta::win32;

int Passed = 0, Failed = 0;
int Dpi = 96;

// Pixels of the design at 96 dpi on this display, and back: what the settings file holds.
int S(int designPixels) {
  return ::MulDiv(designPixels, Dpi, 96);
}
int U(int pixels) {
  return ::MulDiv(pixels, 96, Dpi);
}

void Check(bool ok, const std::string& what) {
  (ok ? Passed : Failed)++;
  std::printf("%s %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
}

std::string Utf8(const std::wstring& text) {
  return WideToUtf8(text);
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 10000,
                        nullptr);
  return text;
}

// The pixels of a part of the screen.
std::vector<uint32_t> CaptureRect(const RECT& r, int& width, int& height) {
  width = r.right - r.left;
  height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TUniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TUniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
  std::vector<uint32_t> pixels;
  if (!bitmap || !memory) return pixels;
  {
    const TSelectGuard select(memory.get(), bitmap.get());
    const TWindowDc screen(nullptr);
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    ::GdiFlush();
  }
  const auto* p = static_cast<const uint32_t*>(bits);
  pixels.assign(p, p + static_cast<size_t>(width) * height);
  for (uint32_t& v : pixels) v &= 0xFFFFFF;
  return pixels;
}

// The pixels of a window as the screen shows them.
std::vector<uint32_t> Capture(HWND window, int& width, int& height) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return CaptureRect(r, width, height);
}

// The window's pixels once they stop changing: the X server shows what a window drew a moment
// after the drawing call returned.
std::vector<uint32_t> Capture(HWND window) {
  int w = 0, h = 0;
  std::vector<uint32_t> last = Capture(window, w, h);
  for (int i = 0; i < 50; ++i) {
    ::Sleep(60);
    std::vector<uint32_t> now = Capture(window, w, h);
    if (now == last) return now;
    last = std::move(now);
  }
  return last;
}

void SaveBitmap(HWND window, const std::wstring& path, HWND over = nullptr) {
  // With over: the window and the one lying over it, such as its menu.
  RECT r{}, top{};
  ::GetWindowRect(window, &r);
  if (over && ::GetWindowRect(over, &top)) ::UnionRect(&r, &r, &top);
  int w = 0, h = 0;
  const std::vector<uint32_t> pixels = CaptureRect(r, w, h);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = w;
  header.biHeight = -h;
  header.biPlanes = 1;
  header.biBitCount = 32;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  TUniqueFile out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  ::WriteFile(out.get(), &file, sizeof file, &written, nullptr);
  ::WriteFile(out.get(), &header, sizeof header, &written, nullptr);
  ::WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size() * 4), &written, nullptr);
}

// Pure red pixels (the search's marks) within a box of the capture.
int RedWithin(const std::vector<uint32_t>& pixels, int width, int x1, int y1, int x2, int y2) {
  int n = 0;
  for (int y = std::max(0, y1); y < y2; ++y)
    for (int x = std::max(0, x1); x < x2 && x < width; ++x)
      n += static_cast<size_t>(y * width + x) < pixels.size() &&
           pixels[static_cast<size_t>(y * width + x)] == 0xFF0000;
  return n;
}

// The first and last black pixels on a row (or a column) of the paint area: where the
// drawing's frame crosses it, where no red circle covers the frame.
std::pair<int, int> BlackExtent(const std::vector<uint32_t>& pixels, int width, int height,
                                bool column, int line) {
  int first = -1, last = -1;
  for (int i = 0; i < (column ? height : width); ++i) {
    const size_t at = column ? static_cast<size_t>(i) * static_cast<size_t>(width) + line
                             : static_cast<size_t>(line) * static_cast<size_t>(width) + i;
    if (at < pixels.size() && pixels[at] == 0) {
      if (first < 0) first = i;
      last = i;
    }
  }
  return {first, last};
}

// Waits until the window's pixels satisfy a test (for messages that went through the queue).
bool WaitFor(HWND window, const std::function<bool(const std::vector<uint32_t>&)>& test) {
  for (int i = 0; i < 100; ++i) {
    if (test(Capture(window))) return true;
    ::Sleep(50);
  }
  return false;
}

// A key pressed or let go, as the keyboard sends it to the active window.
void PressKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof input);
}

// The mouse as the user moves it and presses its buttons: through the system's input, so that
// where a message goes is the system's choice (the capture's), not the driver's.
void Mouse(DWORD flags, POINT screen = {-1, -1}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (screen.x >= 0) {
    input.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  ::SendInput(1, &input, sizeof input);
  ::Sleep(30);
}

void TypeKey(WORD key) {
  PressKey(key, true);
  PressKey(key, false);
}

// A window of another program's class, as another process's window would be found by class.
HWND DecoyWindow(const wchar_t* windowClass) {
  WNDCLASSEXW decoy{};
  decoy.cbSize = sizeof decoy;
  decoy.lpfnWndProc = ::DefWindowProcW;
  decoy.hInstance = ::GetModuleHandleW(nullptr);
  decoy.lpszClassName = windowClass;
  ::RegisterClassExW(&decoy);
  return ::CreateWindowExW(0, windowClass, L"another program", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           nullptr, nullptr, decoy.hInstance, nullptr);
}

// The text of the message box that owner's window shows, whatever other dialogs the desktop
// holds, once it has its text: the dialog exists a moment before its text is put in. Waits up
// to 20 s; box is the dialog, or null.
std::wstring OwnedBoxText(HWND owner, HWND& box) {
  std::wstring said;
  for (int i = 0; i < 800 && said.empty(); ++i) {
    for (HWND d = nullptr; !box && (d = ::FindWindowExW(nullptr, d, L"#32770", nullptr));)
      if (::GetWindow(d, GW_OWNER) == owner) box = d;
    if (box) said = TextOf(::GetDlgItem(box, 0xFFFF));
    if (said.empty()) ::Sleep(25);
  }
  return said;
}

void CheckEnded(HANDLE process, const std::string& what) {
  const bool ended = ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process, &exitCode);
  Check(ended && exitCode == 0, what);
}

void CheckSaved(const std::wstring& program, const RECT& r, int panelWidth) {
  std::ostringstream settings;
  settings << U(r.left) << "\r\n"
           << U(r.top) << "\r\n"
           << U(r.right - r.left) << "\r\n"
           << U(r.bottom - r.top) << "\r\n"
           << U(panelWidth) << "\r\n";
  std::ifstream saved(Utf8(program.substr(0, program.size() - 3) + L"dat"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(saved)), {});
  Check(bytes == settings.str(), "the settings file holds the window's geometry: " + bytes);
}

// Starts the program in its folder and waits for its window to be shown.
HWND StartAndFind(const std::wstring& program, const std::wstring& folder, TUniqueFile& process,
                  TUniqueFile& thread) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring command = L"\"" + program + L"\"";
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started))
    return nullptr;
  process.reset(started.hProcess);
  thread.reset(started.hThread);
  HWND form = nullptr;
  for (int i = 0; i < 600 && !form; ++i) {
    form = ::FindWindowW(kFormClass, L"Pikrotta");
    if (!form || !::IsWindowVisible(form)) form = nullptr, ::Sleep(50);
  }
  if (form) ::UpdateWindow(FindControl(form, kIdPaintBox1));
  return form;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
  std::ifstream in(path.c_str());  // narrow: an ASCII path
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

}  // namespace

// The window already open: the search, its rows on standard output (UTF-8), a screenshot.
int SearchInOpenWindow(const std::wstring& shot) {
  HWND form = nullptr;
  for (int i = 0; i < 600 && !form; ++i) {
    form = ::FindWindowW(kFormClass, L"Pikrotta");
    if (!form || !::IsWindowVisible(form)) form = nullptr, ::Sleep(50);
  }
  if (!form) return 1;
  ::UpdateWindow(FindControl(form, kIdPaintBox1));
  ::SendMessageW(FindControl(form, kIdButton2), BM_CLICK, 0, 0);
  HWND list = FindControl(form, kIdListBox1);
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t row[1024] = {};
    ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
    std::printf("%s\n", Utf8(row).c_str());
  }
  Capture(FindControl(form, kIdPaintBox1));  // once the picture has settled
  SaveBitmap(form, shot);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--search") return SearchInOpenWindow(argv[2]);
  if (argc == 2 && std::wstring(argv[1]) == L"--close") {
    if (HWND form = ::FindWindowW(kFormClass, L"Pikrotta")) ::SendMessageW(form, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc < 7) {
    std::printf(
        "usage: window_driver PROGRAM ROWS SHOT LABEL2 LABEL3 TEMP_FOLDER\n0 passed, 1 failed\n");
    return 2;
  }
  const std::wstring program = argv[1], rowsFile = argv[2], shot = argv[3];
  const std::string label2 = Utf8(argv[4]), label3 = Utf8(argv[5]), tempFolder = Utf8(argv[6]);
  if (argc > 7) Dpi = std::stoi(argv[7]);
  std::printf("code page %u\n", ::GetACP());
  ::SetProcessDPIAware();  // the window's own pixels, not ones scaled for an unaware program
  {
    const TWindowDc screen(nullptr);
    const int display = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    Check(display == Dpi, "the display is at " + std::to_string(display) + " dpi");
  }

  std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + program + L"\"";
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
    Check(false, "start the program");
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return 1;
  }
  TUniqueFile processHandle(process.hProcess), threadHandle(process.hThread);

  HWND form = nullptr;
  for (int i = 0; i < 600 && !form; ++i) {
    form = ::FindWindowW(kFormClass, L"Pikrotta");
    if (!form || !::IsWindowVisible(form)) form = nullptr, ::Sleep(50);
  }
  Check(form != nullptr, "the window \"Pikrotta\" opens");
  if (!form) {
    ::TerminateProcess(process.hProcess, 1);
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return 1;
  }
  HWND owner = ::GetWindow(form, GW_OWNER);
  Check(owner && TextOf(owner) == L"Ventro_Pikrotta", "the application title is Ventro_Pikrotta");
  HWND paint = FindControl(form, kIdPaintBox1), list = FindControl(form, kIdListBox1);
  HWND panel1 = FindControl(form, kIdPanel1);
  Check(panel1 && ::GetWindow(panel1, GW_CHILD), "the promotion strip holds the browser control");
  HWND panel2 = FindControl(form, kIdPanel2), splitter = FindControl(form, kIdSplitter1);
  ::UpdateWindow(paint);  // the first paint composes; sent, so this waits for it

  Check(Utf8(TextOf(FindControl(form, kIdLabel1))) == "図面ファイル名：", "Label1");
  {
    // The list's rows are as tall as the window's font, 13 pixels at the least (at 96 dpi).
    LOGFONTW font{};
    font.lfHeight = -S(13);
    font.lfCharSet = SHIFTJIS_CHARSET;
    wcscpy(font.lfFaceName, L"ＭＳ ゴシック");
    const TUniqueFont made(::CreateFontIndirectW(&font));
    const TWindowDc screen(nullptr);
    const TSelectGuard selected(screen.get(), made.get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen.get(), &metrics);
    const auto item = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    Check(item == std::max<int>(S(13), metrics.tmHeight), "list rows " + std::to_string(item) +
                                                              " pixels high for a font of " +
                                                              std::to_string(metrics.tmHeight));
  }
  {
    // The strips, the panel and the buttons keep their design's size at the display's scale.
    auto height = [&](int id) {
      RECT r{};
      ::GetWindowRect(FindControl(form, id), &r);
      return r.bottom - r.top;
    };
    RECT panel{};
    ::GetWindowRect(panel2, &panel);
    Check(height(kIdLabelA1) == S(24) && height(kIdScrollBox1) == S(65) &&
              panel.right - panel.left == S(200) && height(kIdButton2) == S(25),
          "the status line, the promotion strip, the panel and the buttons are scaled: " +
              std::to_string(height(kIdLabelA1)) + ", " + std::to_string(height(kIdScrollBox1)) +
              ", " + std::to_string(panel.right - panel.left) + ", " +
              std::to_string(height(kIdButton2)));
  }
  Check(Utf8(TextOf(FindControl(form, kIdLabel2))) == label2, "Label2 shows the drawing's file");
  Check(Utf8(TextOf(FindControl(form, kIdLabel3))) == label3, "Label3 shows Jw_cad's program");
  Check(Utf8(TextOf(FindControl(form, kIdLabel4))) == "---", "Label4 before the search");
  Check(Utf8(TextOf(FindControl(form, kIdButton2))) == "検索(&S)", "Button2's caption");
  const std::wstring memo = TextOf(FindControl(form, kIdMemo1));
  Check(Utf8(memo).starts_with("◇[検索]をクリックして下さい。\r\n◇マークは"),
        "the help text begins as it should");

  // The search.
  ::SendMessageW(FindControl(form, kIdButton2), BM_CLICK, 0, 0);
  const std::string label4 = Utf8(TextOf(FindControl(form, kIdLabel4)));
  Check(label4 == label3.substr(0, label3.rfind('\\') + 1) + "BAK\\",
        "Label4 shows the auto-save folder: " + label4);
  const std::string label5 = Utf8(TextOf(FindControl(form, kIdLabel5)));
  Check(label5 == tempFolder, "Label5 names today's newest temporary folder: " + label5);
  const std::vector<std::string> expected = ReadLines(rowsFile);
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  Check(count == static_cast<int>(expected.size()),
        "the list has " + std::to_string(count) + " rows");
  for (int i = 0; i < count && i < static_cast<int>(expected.size()); ++i) {
    wchar_t row[1024] = {};
    ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
    Check(Utf8(row) == expected[static_cast<size_t>(i)],
          "row " + std::to_string(i) + ": " + Utf8(row));
  }
  int w = 0, h = 0;
  Capture(paint, w, h);
  const std::vector<uint32_t> searched = Capture(paint);
  Check(RedWithin(searched, w, 0, 0, w, h) > 100, "the references are circled in red");
  SaveBitmap(form, shot);

  // A double-click on the second reference's row centres the view on it: its circle is in
  // the middle of the paint area now.
  ::SendMessageW(list, LB_SETCURSEL, 2, 0);
  ::SendMessageW(panel2, WM_COMMAND, MAKEWPARAM(kIdListBox1, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
  const std::vector<uint32_t> centred = Capture(paint);
  Check(centred != searched, "a double-click on a row moves the view");
  Check(RedWithin(centred, w, w / 2 - S(13), h / 2 - S(13), w / 2 + S(14), h / 2 + S(14)) > 20,
        "the reference's circle is at the centre");

  // Home fits the drawing again: the very picture of the search.
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  Check(Capture(paint) == searched, "Home fits the drawing again");
  ::SendMessageW(form, WM_KEYDOWN, VK_PRIOR, 0);
  Check(Capture(paint) != searched, "Page Up zooms in");
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);

  // The wheel over the paint area, a notch towards the user: zoom in about the cursor.
  POINT centre{w / 2, h / 2};
  ::ClientToScreen(paint, &centre);
  ::SetCursorPos(centre.x, centre.y);
  const WPARAM third = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 3));
  ::SendMessageW(paint, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
  const std::vector<uint32_t> notch = Capture(paint);
  Check(notch != searched, "the wheel zooms");
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  // A third of a notch at a time, as touchpads turn it: each message counts once, so the
  // third message zooms as one notch did. Sent to the paint area, and through the queue.
  ::SendMessageW(paint, WM_MOUSEWHEEL, third, MAKELPARAM(centre.x, centre.y));
  ::SendMessageW(paint, WM_MOUSEWHEEL, third, MAKELPARAM(centre.x, centre.y));
  Check(Capture(paint) == searched, "two thirds of a notch do not zoom");
  ::SendMessageW(paint, WM_MOUSEWHEEL, third, MAKELPARAM(centre.x, centre.y));
  Check(Capture(paint) == notch, "the third third zooms by one notch");
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  for (int i = 0; i < 3; ++i)
    ::PostMessageW(paint, WM_MOUSEWHEEL, third, MAKELPARAM(centre.x, centre.y));
  Check(WaitFor(paint, [&](const auto& p) { return p == notch; }),
        "three posted thirds zoom by one notch");
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);

  // A notch away from the user zooms out by 1.5 about the cursor: the frame's top and bottom
  // move a third of their way towards it. One towards the user zooms in by as much again. The
  // frame is measured on a column near its right end, clear of the red circles.
  {
    const auto [left, right] = BlackExtent(searched, w, h, false, h / 2);
    const int column = left + (right - left) * 9 / 10;
    const auto [top, bottom] = BlackExtent(searched, w, h, true, column);
    ::SendMessageW(paint, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                   MAKELPARAM(centre.x, centre.y));
    auto towardsCursor = [](int x, int c) { return c + (x - c) / 1.5; };
    const int outColumn = static_cast<int>(std::lround(towardsCursor(column, w / 2)));
    const auto [outTop, outBottom] = BlackExtent(Capture(paint), w, h, true, outColumn);
    Check(top > 0 && std::abs(outTop - towardsCursor(top, h / 2)) <= 1.5 &&
              std::abs(outBottom - towardsCursor(bottom, h / 2)) <= 1.5,
          "a notch away from the user zooms out by 1.5 about the cursor: frame " +
              std::to_string(top) + ".." + std::to_string(bottom) + " to " +
              std::to_string(outTop) + ".." + std::to_string(outBottom));
    ::SendMessageW(paint, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                   MAKELPARAM(centre.x, centre.y));
    const auto [inTop, inBottom] = BlackExtent(Capture(paint), w, h, true, column);
    Check(std::abs(inTop - top) <= 1 && std::abs(inBottom - bottom) <= 1,
          "and a notch towards the user zooms in by 1.5 about it");
    ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  }

  // Both buttons dragged right and down zoom to the rectangle; dragged left and down, back.
  ::SendMessageW(paint, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  ::SendMessageW(paint, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(21, 21));
  ::SendMessageW(paint, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, At(w / 2, h / 2));
  ::SendMessageW(paint, WM_RBUTTONUP, MK_LBUTTON, At(w / 2, h / 2));
  ::SendMessageW(paint, WM_LBUTTONUP, 0, At(w / 2, h / 2));
  const std::vector<uint32_t> zoomed = Capture(paint);
  Check(zoomed != searched, "a two-button drag zooms to its rectangle");
  ::SendMessageW(paint, WM_LBUTTONDOWN, MK_LBUTTON, At(w / 2, 20));
  ::SendMessageW(paint, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(w / 2, 20));
  ::SendMessageW(paint, WM_LBUTTONUP, MK_RBUTTON, At(20, h / 2));
  ::SendMessageW(paint, WM_RBUTTONUP, 0, At(20, h / 2));
  Check(Capture(paint) == searched, "dragged left and down: back to the view before");
  // The capture taken away mid-drag (as another window takes it): the gesture ends, so a later
  // drag with the left button alone does nothing.
  ::SendMessageW(paint, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  ::SendMessageW(paint, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(21, 21));
  ::SendMessageW(paint, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, At(w / 2, h / 2));
  ::SendMessageW(paint, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(form));
  ::SendMessageW(paint, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  ::SendMessageW(paint, WM_MOUSEMOVE, MK_LBUTTON, At(w / 2, h / 2));
  ::SendMessageW(paint, WM_LBUTTONUP, 0, At(w / 2, h / 2));
  Check(Capture(paint) == searched, "a lost capture ends the two-button drag");

  // The same drag with the real mouse, let go beyond the window: the window holds the capture,
  // so the buttons' release still reaches it and the gesture ends in a zoom; a plain move
  // afterwards draws no rubber band.
  ::SetForegroundWindow(form);
  for (int i = 0; i < 100 && ::GetForegroundWindow() != form; ++i) ::Sleep(20);
  {
    RECT whole{};
    ::GetWindowRect(form, &whole);
    POINT start{20, 20}, inside{w / 3, h / 3};
    ::ClientToScreen(paint, &start);
    ::ClientToScreen(paint, &inside);
    const POINT beyond{whole.right + 30, whole.top + (whole.bottom - whole.top) / 2};
    Mouse(0, start);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_RIGHTDOWN);
    Mouse(0, inside);
    Mouse(0, beyond);
    Mouse(MOUSEEVENTF_LEFTUP);
    Mouse(MOUSEEVENTF_RIGHTUP);
    const bool zoomedOut = WaitFor(paint, [&](const auto& p) { return p != searched; });
    const std::vector<uint32_t> afterDrag = Capture(paint);
    Mouse(0, inside);
    Mouse(0, start);
    Check(zoomedOut && Capture(paint) == afterDrag,
          "a drag let go beyond the window ends there, held by the capture");
    ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  }

  // Keys as a user types them: through the message loop, seen by the form before the focused
  // control (key preview).
  ::PostMessageW(FindControl(form, kIdEditA), WM_KEYDOWN, VK_NEXT, 0);
  const bool pagedDown = WaitFor(paint, [&](const auto& p) { return p != searched; });
  Check(pagedDown, "Page Down typed into a control reaches the form");
  ::PostMessageW(FindControl(form, kIdEditA), WM_KEYDOWN, VK_HOME, 0);
  Check(pagedDown && WaitFor(paint, [&](const auto& p) { return p == searched; }),
        "and Home after it");

  // Minimised, then restored from the task bar, whose button is the application's window:
  // keys typed then reach the form without a click.
  ::SendMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ::SendMessageW(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
  for (int i = 0; i < 100 && ::GetForegroundWindow() != form; ++i) ::Sleep(20);
  Check(::GetForegroundWindow() == form, "restored, the window is the active one");
  TypeKey(VK_NEXT);
  const bool typed = WaitFor(paint, [&](const auto& p) { return p != searched; });
  Check(typed, "and a key typed then reaches it");
  TypeKey(VK_HOME);
  Check(typed && WaitFor(paint, [&](const auto& p) { return p == searched; }), "and Home after it");

  // The status line and the list's menu: a selected row says its path and what is wrong with
  // its file, a missing one its candidate, the header row sums the list up; the menu copies a
  // candidate into place, and refuses to where a file has come meanwhile.
  {
    const std::string drawingFolder = label2.substr(0, label2.rfind('\\'));
    auto select = [&](int row) {
      ::SendMessageW(list, LB_SETCURSEL, row, 0);
      ::SendMessageW(panel2, WM_COMMAND, MAKEWPARAM(kIdListBox1, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
      return Utf8(TextOf(FindControl(form, kIdLabelA1)));
    };
    const std::string found = select(3);
    Check(found == drawingFolder + "\\images\\p.bmp　ファイルはありますが、画像ではありません。",
          "a selected row says its path and what is wrong with its file: " + found);
    const std::string missing = select(4);
    Check(missing == "見つかりません。候補：" + drawingFolder + "\\old\\q.bmp",
          "a missing row names where its file may be: " + missing);
    const std::string summary = select(0);
    Check(summary == "○ 5　× 4　？ 1　※ 1　要確認 7",
          "the header row sums the list up: " + summary);
    // The row's menu, opened as the right button opens it, and its first item chosen.
    auto chooseFirst = [&](int row, const std::wstring& menuShot = {}) {
      RECT item{};
      ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
      POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
      ::ClientToScreen(list, &at);
      ::PostMessageW(panel2, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(at.x, at.y));
      HWND menu = nullptr;
      for (int i = 0; i < 400 && !menu; ++i) {
        menu = ::FindWindowW(L"#32768", nullptr);
        if (menu && !::IsWindowVisible(menu)) menu = nullptr;
        if (!menu) ::Sleep(25);
      }
      if (!menu) return false;
      if (!menuShot.empty()) SaveBitmap(form, menuShot, menu);
      ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
      ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
      for (int i = 0; i < 400 && ::IsWindowVisible(menu); ++i) ::Sleep(25);
      return true;
    };
    auto rowText = [&](int row) {
      wchar_t text[1024] = {};
      ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
      return Utf8(text);
    };
    auto contents = [](const std::wstring& path) {
      TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
      char bytes[256] = {};
      DWORD got = 0;
      if (file) ::ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr);
      return std::string(bytes, got);
    };
    const std::wstring wideFolder = Utf8ToWide(drawingFolder);
    select(4);
    const bool opened = chooseFirst(4, shot.substr(0, shot.size() - 4) + L"-menu.bmp");
    bool turned = false;
    for (int i = 0; i < 400 && !turned; ++i) {
      turned = rowText(4) == "images\\q.bmp　○";
      if (!turned) ::Sleep(25);
    }
    Check(opened && turned, "the menu's copy puts the file in place and the row turns ○");
    Check(contents(wideFolder + L"\\images\\q.bmp") == "the lost q", "with the candidate's bytes");
    // Another program puts a file where the missing one belongs after the search.
    {
      TUniqueFile inTheWay(::CreateFileW((wideFolder + L"\\nothere.bmp").c_str(), GENERIC_WRITE, 0,
                                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      ::WriteFile(inTheWay.get(), "in the way", 10, &written, nullptr);
    }
    Check(chooseFirst(2), "a copy onto a file that is there is chosen");
    HWND box = nullptr;
    const std::wstring said = OwnedBoxText(form, box);
    Check(Utf8(said).starts_with("画像をコピーできませんでした。"),
          "is refused with the system's reason: " + Utf8(said));
    if (box) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 400 && box && ::IsWindow(box); ++i) ::Sleep(25);
    Check(contents(wideFolder + L"\\nothere.bmp") == "in the way", "and overwrites nothing");
  }

  // The splitter dragged 50 pixels to the left widens the panel.
  RECT panelBefore{}, panelAfter{};
  ::GetWindowRect(panel2, &panelBefore);
  ::SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 10));
  ::SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(-49, 10));
  ::SendMessageW(splitter, WM_LBUTTONUP, 0, At(-49, 10));
  ::GetWindowRect(panel2, &panelAfter);
  const int panelWidth = panelAfter.right - panelAfter.left;
  Check(panelWidth == panelBefore.right - panelBefore.left + 50, "the splitter widens the panel");

  // Resized below its minimum, the window snaps back to 475 x 200 (at 96 dpi).
  ::SetWindowPos(form, nullptr, 0, 0, S(300), S(120), SWP_NOMOVE | SWP_NOZORDER);
  RECT r{};
  ::GetWindowRect(form, &r);
  Check(r.right - r.left == S(475) && r.bottom - r.top == S(200),
        "the smallest window is " + std::to_string(r.right - r.left) + " x " +
            std::to_string(r.bottom - r.top));
  // The least size is the window's answer to the system, not a size put right afterwards.
  MINMAXINFO limits{};
  ::SendMessageW(form, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  Check(limits.ptMinTrackSize.x == S(475) && limits.ptMinTrackSize.y == S(200),
        "the window tells the system its least size: " + std::to_string(limits.ptMinTrackSize.x) +
            " x " + std::to_string(limits.ptMinTrackSize.y));
  ::SetWindowPos(form, nullptr, S(30), S(40), S(560), S(430), SWP_NOZORDER);
  ::GetWindowRect(form, &r);

  // Esc held down while another program's window is in front does not cut our drawing short.
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);
  const std::vector<uint32_t> composed = Capture(paint);
  HWND other = DecoyWindow(L"PikrottaTest.Other");
  ::ShowWindow(other, SW_SHOW);
  ::SetForegroundWindow(other);
  for (int i = 0; i < 100 && ::GetForegroundWindow() != other; ++i) ::Sleep(20);
  PressKey(VK_ESCAPE, true);
  ::SendMessageW(form, WM_KEYDOWN, VK_HOME, 0);  // composes again
  const bool whole = Capture(paint) == composed;
  PressKey(VK_ESCAPE, false);
  Check(::GetForegroundWindow() == other && whole,
        "Esc held in another program's window leaves the drawing whole");
  ::DestroyWindow(other);
  ::SetForegroundWindow(form);

  // The task bar's Close saves the geometry in the settings file beside the program, and
  // closes our window, not another program's of a class named as many are.
  HWND decoy = DecoyWindow(L"TForm1");
  ::SendMessageW(owner, WM_SYSCOMMAND, SC_CLOSE, 0);
  CheckEnded(process.hProcess, "the task bar's Close ends the program");
  Check(::IsWindow(decoy), "and leaves another program's window of the class TForm1 open");
  ::DestroyWindow(decoy);
  CheckSaved(program, r, panelWidth);

  // Closed by its own window, by End task (the application's window asked to close) and by
  // logging off: each saves too.
  const char* endings[] = {"closing the window", "End task", "logging off"};
  for (int ending = 0; ending < 3; ++ending) {
    // Saved where no monitor is (one unplugged since): the window opens on the screen, its
    // size kept.
    const int savedLeft = ending == 1 ? -3000 : 5000, savedTop = ending == 1 ? -3000 : 4000;
    {
      std::ofstream dat(Utf8(program.substr(0, program.size() - 3) + L"dat"), std::ios::binary);
      dat << savedLeft << "\r\n" << savedTop << "\r\n520\r\n400\r\n" << U(panelWidth) << "\r\n";
    }
    TUniqueFile again, againThread;
    HWND second = StartAndFind(program, folder, again, againThread);
    Check(second != nullptr, "the program starts again");
    if (!second) break;
    RECT opened{};
    ::GetWindowRect(second, &opened);
    Check(opened.left >= 0 && opened.top >= 0 && opened.right <= ::GetSystemMetrics(SM_CXSCREEN) &&
              opened.bottom <= ::GetSystemMetrics(SM_CYSCREEN) &&
              opened.right - opened.left == S(520) && opened.bottom - opened.top == S(400),
          "saved at " + std::to_string(savedLeft) + "," + std::to_string(savedTop) +
              ", it opens on the screen at its size");
    ::SetWindowPos(second, nullptr, S(50 + 10 * ending), S(70), S(600), S(440), SWP_NOZORDER);
    ::GetWindowRect(second, &r);
    if (ending == 0) {
      ::SendMessageW(second, WM_CLOSE, 0, 0);
    } else if (ending == 1) {
      ::SendMessageW(::GetWindow(second, GW_OWNER), WM_CLOSE, 0, 0);
    } else if (::SendMessageW(second, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) {
      ::SendMessageW(second, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    }
    CheckEnded(again.get(), std::string(endings[ending]) + " ends the program");
    CheckSaved(program, r, panelWidth);
  }

  // A settings file that cannot be written (a folder stands in its place): closing says so in
  // a box owned by the window, and ends once the box is answered.
  const std::wstring dat = program.substr(0, program.size() - 3) + L"dat";
  ::DeleteFileW(dat.c_str());
  if (::CreateDirectoryW(dat.c_str(), nullptr)) {
    TUniqueFile again, againThread;
    if (HWND unsaved = StartAndFind(program, folder, again, againThread)) {
      ::PostMessageW(unsaved, WM_CLOSE, 0, 0);
      HWND box = nullptr;
      const std::wstring said = OwnedBoxText(unsaved, box);
      Check(Utf8(said) == "ウィンドウの位置と大きさを保存できませんでした。",
            "a close whose settings cannot be saved says so: " + Utf8(said));
      if (box) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      CheckEnded(again.get(), "and ends once that is answered");
    }
    ::RemoveDirectoryW(dat.c_str());
  }

  std::printf("%d passed, %d failed\n", Passed, Failed);
  return Failed == 0 ? 0 : 1;
}
