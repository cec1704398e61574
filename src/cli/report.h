// The "report" command: the drawing as the window shows it after a search, with every image
// reference circled and listed, in one self-contained HTML page.
#pragma once

#include <cstdint>
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
  std::string Html;
  bool AllFound = true;
};

TReport MakeReport(const TReportOptions& options);

}  // namespace pikrotta
