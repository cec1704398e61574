// The window's position, size and panel width, kept between runs in a small text file.
#pragma once

#include <cstdint>
#include <string>

#include "host_services.h"

namespace pikrotta {

struct TWindowSettings {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 475;
  int32_t Height = 475;
  int32_t PanelWidth = 200;
  bool operator==(const TWindowSettings&) const = default;
};

constexpr int32_t kMinWindowWidth = 475;
constexpr int32_t kMinWindowHeight = 200;
constexpr int32_t kMinPanelWidth = 100;

// The paint area keeps at least this width beside the panel: a panel as wide as the window
// (a hand-edited file, or a smaller window than when it was saved) would leave it none.
constexpr int32_t kMinPaintAreaWidth = 100;

void RaiseToMinima(TWindowSettings& settings);
// The panel's width within the window: at least its minimum, and leaving the paint area its.
int32_t PanelWidthWithin(const TWindowSettings& settings);
TWindowSettings LoadWindowSettings(const THostServices& host, const std::string& path);
// Five lines, CR LF after each. False when the file could not be written (the old one stays).
bool SaveWindowSettings(THostServices& host, const std::string& path,
                        const TWindowSettings& settings);

}  // namespace pikrotta
