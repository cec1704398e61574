// Clipping and drawing world lines onto a canvas that only counts.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "counting_canvas.h"
#include "gra.h"

namespace {

using namespace pikrotta;

struct TSegment {
  double X1, Y1, X2, Y2;
};

// Half the lines lie inside the view, a quarter cross its edge and a quarter lie outside.
std::vector<TSegment> MakeSegments(size_t count) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> inside(-45, 45), outside(60, 500);
  std::vector<TSegment> segments;
  segments.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    switch (i % 4) {
      case 0:
      case 1:
        segments.push_back({inside(random), inside(random), inside(random), inside(random)});
        break;
      case 2:
        segments.push_back({inside(random), inside(random), outside(random), inside(random)});
        break;
      default:
        segments.push_back({outside(random), inside(random), outside(random), outside(random)});
        break;
    }
  }
  return segments;
}

void BM_DrawWorldLine(benchmark::State& state) {
  TView view;
  view.ViewScale = 10;
  view.ViewWidth = view.ViewHeight = 1000;
  view.CentreAt(0, 0);
  const TgraAttribute attributes;
  const TJwwGaibu model;
  const TFixedClock clock({2008, 5, 3, 9, 4, 5});
  const TNoEscKey keys;
  const TGra gra(view, attributes, model, clock, keys);
  bench::TCountingCanvas canvas;
  const std::vector<TSegment> segments = MakeSegments(1'000'000);
  for (auto _ : state) {
    for (const TSegment& s : segments) gra.DrawWorldLine(canvas, s.X1, s.Y1, s.X2, s.Y2);
    benchmark::DoNotOptimize(canvas.Calls);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(segments.size()));
}
BENCHMARK(BM_DrawWorldLine)->Unit(benchmark::kMillisecond);

}  // namespace
