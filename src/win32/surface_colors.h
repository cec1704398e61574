// The colours of the form's surfaces. The design's light colours hold under a normal theme;
// under a high-contrast theme every surface takes the user's own pair of system colours, since
// text in the system's colour over the design's cream would be white on cream.
#pragma once

#include "windows_api.h"

namespace pikrotta::win32 {

// A surface by its role: the form and its white labels, the cream panel and the cream edit, the
// pale blue help, the grey status line, and the panels in the button face's colour.
enum class TSurface { Form, Panel, Edit, Memo, StatusLine, Face };

struct TSurfaceColors {
  int Background;  // a system colour index; -1: the design's own colour
  int Text;        // a system colour index
};

constexpr TSurfaceColors SurfaceColors(TSurface surface, bool highContrast) {
  if (!highContrast) return {surface == TSurface::Face ? COLOR_BTNFACE : -1, COLOR_WINDOWTEXT};
  // What the user reads or types in takes the window's pair.
  if (surface == TSurface::Memo || surface == TSurface::Edit)
    return {COLOR_WINDOW, COLOR_WINDOWTEXT};
  return {COLOR_BTNFACE, COLOR_BTNTEXT};
}

}  // namespace pikrotta::win32
