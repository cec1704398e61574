// A control of the main window by its identifier, for the programs that drive the window from
// outside: controls lie in panels, not on the form itself.
#pragma once

#include "windows_api.h"

namespace pikrotta::win32 {

struct TControlSearch {
  int Id;
  HWND Found;
};

inline BOOL CALLBACK MatchControl(HWND child, LPARAM l) {
  auto* search = reinterpret_cast<TControlSearch*>(l);
  if (::GetDlgCtrlID(child) != search->Id) return TRUE;
  search->Found = child;
  return FALSE;
}

inline HWND FindControl(HWND root, int id) {
  TControlSearch search{id, nullptr};
  ::EnumChildWindows(root, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace pikrotta::win32
