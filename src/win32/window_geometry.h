// Where a window lies, in the two coordinate systems Windows uses for top-level windows.
#pragma once

#include "windows_api.h"

namespace pikrotta::win32 {

// GetWindowPlacement gives the normal position in workspace coordinates, whose origin is the
// top-left corner of the monitor's work area; SetWindowPos takes screen coordinates. With the
// task bar at the top or the left, mixing them moves the window a bar's width on every run.
constexpr RECT ScreenFromWorkspace(const RECT& r, const RECT& monitor, const RECT& work) {
  const LONG dx = work.left - monitor.left, dy = work.top - monitor.top;
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace pikrotta::win32
