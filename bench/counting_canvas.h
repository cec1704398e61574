// A canvas that only counts calls, so benchmarks measure the drawing code and not a surface.
#pragma once

#include "canvas.h"

namespace pikrotta::bench {

class TCountingCanvas : public TCanvas {
 public:
  int64_t Calls = 0;
  void MoveTo(int32_t, int32_t) override { ++Calls; }
  void LineTo(int32_t, int32_t) override { ++Calls; }
  void SetPixel(int32_t, int32_t, TColor) override { ++Calls; }
  void Rectangle(int32_t, int32_t, int32_t, int32_t) override { ++Calls; }
  void Polyline(std::span<const TPoint>) override { ++Calls; }
  void Polygon(std::span<const TPoint>) override { ++Calls; }
  void SetFont(const TFontDesc&) override { ++Calls; }
  void TextOut(int32_t, int32_t, std::string_view) override { ++Calls; }
  std::unique_ptr<TBitmap> CopyToBitmap(int32_t, int32_t) override { return nullptr; }
  void BitBlt(int32_t, int32_t, const TBitmap&) override { ++Calls; }
};

}  // namespace pikrotta::bench
