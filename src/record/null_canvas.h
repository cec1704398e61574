// A canvas that draws nothing: composition without a screen (the command line's search).
#pragma once

#include "canvas.h"

namespace pikrotta {

class TNullCanvas : public TCanvas {
 public:
  bool KeepsPixels() const override { return false; }
  void MoveTo(int32_t, int32_t) override {}
  void LineTo(int32_t, int32_t) override {}
  void SetPixel(int32_t, int32_t, TColor) override {}
  void Rectangle(int32_t, int32_t, int32_t, int32_t) override {}
  void Polyline(std::span<const TPoint>) override {}
  void Polygon(std::span<const TPoint>) override {}
  void SetFont(const TFontDesc&) override {}
  void TextOut(int32_t, int32_t, std::string_view) override {}
  std::unique_ptr<TBitmap> CopyToBitmap(int32_t width, int32_t height) override {
    return std::make_unique<TSizeOnlyBitmap>(width, height);
  }
  void BitBlt(int32_t, int32_t, const TBitmap&) override {}
};

}  // namespace pikrotta
