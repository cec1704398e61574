// The "report" command: the drawing as the window shows it after a search, with every image
// reference circled and listed, in one self-contained HTML page.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "image_list.h"

namespace pikrotta {

struct TReportOptions {
  TListOptions List;
  int32_t Width = 1200;
  int32_t Height = 800;
  // Each found picture drawn into its frame, as Jw_cad shows the sheet.
  bool Images = false;
};

struct TReport {
  bool ReadComplete = true;  // false: the transfer file could not be read, no page was made
  bool Written = false;      // the page went to the stream that open gave
  bool AllFound = true;
};

// Reads and searches the drawing, then writes the page, as it is made, to the stream that
// open gives; open is only asked once the drawing has been read, and may give none.
TReport MakeReport(const TReportOptions& options, const std::function<std::ostream*()>& open);

}  // namespace pikrotta
