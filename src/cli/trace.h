// The "trace" command: the canvas calls of drawing a transfer file in a paint area.
#pragma once

#include <cstdint>
#include <string>

#include "jww_model.h"

namespace pikrotta {

// Fits the view to a paint area of width x height pixels, as the window does, draws the
// model onto a recording canvas and returns the view line followed by the recorded calls.
std::string TraceDrawing(const TJwwGaibu& model, int32_t width, int32_t height);

// Parses "WxH" with both sides from 1 to 100000; false when it does not fit.
bool ParsePaintSize(const std::string& text, int32_t& width, int32_t& height);

}  // namespace pikrotta
