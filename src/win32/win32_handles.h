// Owners of Win32 handles: move-only, each freed by its own function when its owner goes, and
// guards that undo what they did (a selection, a paint, a window DC) with what they stored.
#pragma once

#include <utility>

#include "windows_api.h"

namespace pikrotta::win32 {

// How a kind of handle is freed and which value owns nothing.
template <class T, auto Close>
struct TNullIsNone {
  static T None() { return nullptr; }
  static void Free(T handle) { Close(handle); }
};
template <auto Close>
struct TInvalidIsNone {
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE handle) { Close(handle); }
};

template <class T, class Traits>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(T handle) : Handle(handle) {}
  ~TUniqueHandle() { reset(); }
  TUniqueHandle(TUniqueHandle&& other) noexcept : Handle(other.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  T get() const { return Handle; }
  explicit operator bool() const { return Handle != Traits::None(); }
  void reset(T handle = Traits::None()) {
    if (Handle != Traits::None()) Traits::Free(Handle);
    Handle = handle;
  }
  T release() { return std::exchange(Handle, Traits::None()); }

 private:
  T Handle = Traits::None();
};

inline void DeleteGdiObject(HGDIOBJ object) {
  ::DeleteObject(object);
}

template <class T>
using TUniqueGdiObject = TUniqueHandle<T, TNullIsNone<T, &DeleteGdiObject>>;
using TUniquePen = TUniqueGdiObject<HPEN>;
using TUniqueBrush = TUniqueGdiObject<HBRUSH>;
using TUniqueFont = TUniqueGdiObject<HFONT>;
using TUniqueBitmap = TUniqueGdiObject<HBITMAP>;
using TUniqueIcon = TUniqueHandle<HICON, TNullIsNone<HICON, &::DestroyIcon>>;
using TUniqueMemoryDc = TUniqueHandle<HDC, TNullIsNone<HDC, &::DeleteDC>>;  // CreateCompatibleDC
using TUniqueKey = TUniqueHandle<HKEY, TNullIsNone<HKEY, &::RegCloseKey>>;
using TUniqueMenu = TUniqueHandle<HMENU, TNullIsNone<HMENU, &::DestroyMenu>>;
using TUniqueFind = TUniqueHandle<HANDLE, TInvalidIsNone<&::FindClose>>;
// Memory the system allocated for the caller (FormatMessageW, CommandLineToArgvW).
using TUniqueLocal = TUniqueHandle<HLOCAL, TNullIsNone<HLOCAL, &::LocalFree>>;
using TUniqueFile = TUniqueHandle<HANDLE, TInvalidIsNone<&::CloseHandle>>;

// Selects an object into a DC and selects the old one back when it goes.
class TSelectGuard {
 public:
  TSelectGuard(HDC dc, HGDIOBJ object) : Dc(dc), Old(::SelectObject(dc, object)) {}
  ~TSelectGuard() {
    if (Old) ::SelectObject(Dc, Old);
  }
  TSelectGuard(const TSelectGuard&) = delete;
  TSelectGuard& operator=(const TSelectGuard&) = delete;

 private:
  HDC Dc;
  HGDIOBJ Old;
};

// A window's DC, released to that window when the guard goes.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window) : Window(window), Dc(::GetDC(window)) {}
  ~TWindowDc() {
    if (Dc) ::ReleaseDC(Window, Dc);
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC get() const { return Dc; }

 private:
  HWND Window;
  HDC Dc;
};

// BeginPaint and, when the guard goes, EndPaint of the same window.
class TPaintGuard {
 public:
  explicit TPaintGuard(HWND window) : Window(window) { Dc = ::BeginPaint(window, &Paint); }
  ~TPaintGuard() { ::EndPaint(Window, &Paint); }
  TPaintGuard(const TPaintGuard&) = delete;
  TPaintGuard& operator=(const TPaintGuard&) = delete;
  HDC get() const { return Dc; }
  const RECT& Area() const { return Paint.rcPaint; }

 private:
  HWND Window;
  PAINTSTRUCT Paint{};
  HDC Dc = nullptr;
};

// A window's repainting off, and on again with the whole window repainted when the guard goes,
// also when what is done in between throws.
class TRedrawOff {
 public:
  explicit TRedrawOff(HWND window) : Window(window) {
    ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  }
  ~TRedrawOff() {
    ::SendMessageW(Window, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Window, nullptr, TRUE);
  }
  TRedrawOff(const TRedrawOff&) = delete;
  TRedrawOff& operator=(const TRedrawOff&) = delete;

 private:
  HWND Window;
};

}  // namespace pikrotta::win32
