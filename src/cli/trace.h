// The "trace" command: the canvas calls of drawing a transfer file in a paint area.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "jww_model.h"
#include "text_codes.h"

namespace pikrotta {

struct TTraceOptions {
  int32_t Width = 800;
  int32_t Height = 600;
  bool Search = false;  // set the search prefix first, as the search button does
};

// Fits the view to the paint area as the window does, runs the drawing pass (and, after a
// search, the image-reference marks) on a recording canvas, and returns the view line, the
// canvas calls and, after a search, the count of image references.
// Each call is written as it is made, so memory stays flat whatever the drawing's size.
void TraceDrawing(const TJwwGaibu& model, const TTraceOptions& options, const TClockLocale& clock,
                  std::ostream& out);

// Parses "WxH" with both sides from 1 to 100000; false when it does not fit.
bool ParsePaintSize(const std::string& text, int32_t& width, int32_t& height);
// Parses "YYYY-MM-DDTHH:MM:SS"; false when it does not fit.
bool ParseDateTime(const std::string& text, TDateTime& time);

}  // namespace pikrotta
