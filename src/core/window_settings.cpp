#include "window_settings.h"

#include <algorithm>
#include <array>

#include "my_func.h"

namespace pikrotta {

void RaiseToMinima(TWindowSettings& s) {
  s.Width = std::max(s.Width, kMinWindowWidth);
  s.Height = std::max(s.Height, kMinWindowHeight);
  s.PanelWidth = std::max(s.PanelWidth, kMinPanelWidth);
}

int32_t PanelWidthWithin(const TWindowSettings& s) {
  const int32_t widest = std::max(kMinPanelWidth, s.Width - kMinPaintAreaWidth);
  return std::clamp(s.PanelWidth, kMinPanelWidth, widest);
}

TWindowSettings LoadWindowSettings(const THostServices& host, const std::string& path) {
  TWindowSettings settings;
  if (!host.FileExists(path)) return settings;
  // Five short lines: what stands beyond the first few kilobytes (a file of hundreds of
  // megabytes put there by mistake) is not read.
  constexpr size_t kMostBytes = 4096;
  const std::optional<TFileText> file = ReadTextFile(host, path, kMostBytes);
  if (!file) return settings;
  const std::vector<std::string> lines = SplitTextLines(file->Bytes);
  // A read error keeps what was read before it, without the minima; a short file reads 0.
  const size_t usable =
      file->Complete ? 5 : std::min<size_t>(lines.size() > 0 ? lines.size() - 1 : 0, 5);
  const std::array<int32_t*, 5> values = {&settings.Left, &settings.Top, &settings.Width,
                                          &settings.Height, &settings.PanelWidth};
  for (size_t i = 0; i < usable; ++i) *values[i] = i < lines.size() ? StrToIntDef0(lines[i]) : 0;
  if (file->Complete) RaiseToMinima(settings);
  return settings;
}

bool SaveWindowSettings(THostServices& host, const std::string& path, const TWindowSettings& s) {
  std::string text;
  for (int32_t value : {s.Left, s.Top, s.Width, s.Height, s.PanelWidth})
    text += std::to_string(value) + "\r\n";
  return host.ReplaceFileContents(path, text);
}

}  // namespace pikrotta
