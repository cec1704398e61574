// Reads arbitrary bytes as a transfer file, fits it to a few paint areas and runs the whole
// drawing pass and the image-reference marks. Every pixel handed to the canvas must be an
// exact result of the mapping: within the guard around the view, never a saturated value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "gra.h"
#include "null_canvas.h"
#include "transfer_reader.h"

namespace {

using namespace pikrotta;

constexpr int64_t kLimit = (int64_t{1} << 24) + 4096;

class TCheckingCanvas : public TNullCanvas {
 public:
  void MoveTo(int32_t x, int32_t y) override { Check(x, y); }
  void LineTo(int32_t x, int32_t y) override { Check(x, y); }
  void SetPixel(int32_t x, int32_t y, TColor) override { Check(x, y); }
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    Check(x1, y1);
    Check(x2, y2);
  }
  void Polyline(std::span<const TPoint> points) override {
    for (const TPoint& p : points) Check(p.X, p.Y);
  }
  void Polygon(std::span<const TPoint> points) override {
    for (const TPoint& p : points) Check(p.X, p.Y);
  }
  void TextOut(int32_t x, int32_t y, std::string_view) override { Check(x, y); }

 private:
  static void Check(int32_t x, int32_t y) {
    if (std::llabs(x) > kLimit || std::llabs(y) > kLimit) std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TJwwGaibu model;
  TTransferLineFeeder feeder(model);
  feeder.Feed(std::string_view(reinterpret_cast<const char*>(data), size));
  feeder.Finish();
  const TgraAttribute attributes;
  const TFixedClock clock({2008, 5, 3, 9, 4, 5});
  const TNoEscKey keys;
  for (const TPoint area : {TPoint{1, 1}, TPoint{200, 150}, TPoint{1200, 800}}) {
    TView view;
    view.FitToWindow(model, area.X, area.Y);
    if (!(std::isfinite(view.ViewScale) && view.ViewScale > 0)) std::abort();
    TGra gra(view, attributes, model, clock, keys);
    gra.SearchPrefix = "^@BM";
    TCheckingCanvas canvas;
    gra.DrawAllEntities(canvas);
    gra.MarkImageRefs(canvas, 10 / view.ViewScale);
  }
  return 0;
}
