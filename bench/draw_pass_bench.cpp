// The whole drawing pass over a generated drawing of 1,000,000 mixed entities, a quarter of
// them texts, onto a canvas that only counts calls: fitted, and zoomed in 20 times.
#include <benchmark/benchmark.h>

#include <string>

#include "counting_canvas.h"
#include "drawing_fixture.h"
#include "gra.h"
#include "transfer_reader.h"
#include "view.h"

namespace {

using namespace pikrotta;

void RunPass(benchmark::State& state, double zoom) {
  const TJwwGaibu& model = test::GeneratedDrawing(1'000'000);
  test::TFittedDrawer drawer(model, 1200, 800, zoom);
  bench::TCountingCanvas canvas;
  for (auto _ : state) {
    canvas.Calls = 0;
    drawer.Gra->DrawAllEntities(canvas);
    benchmark::DoNotOptimize(canvas.Calls);
  }
  state.SetItemsProcessed(state.iterations() * model.JwwOrderCount);
  state.counters["canvas_calls"] = static_cast<double>(canvas.Calls);
}

void BM_DrawAllEntitiesFitted(benchmark::State& state) {
  RunPass(state, 1);
}
void BM_DrawAllEntitiesZoom20(benchmark::State& state) {
  RunPass(state, 20);
}
BENCHMARK(BM_DrawAllEntitiesFitted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawAllEntitiesZoom20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fit (Home, and the first picture): the extents of every record. A drawing of circles
// only, 1,000,000 of them, and the mixed drawing.
void BM_FitToWindowCircles(benchmark::State& state) {
  static const TJwwGaibu model = [] {
    std::string text;
    for (int i = 0; i < 1'000'000; ++i)
      text += "ci " + std::to_string(i % 2000) + ".25 " + std::to_string(i / 2000 % 1400) + ".75 " +
              std::to_string(i % 29 + 1) + ".5\n";
    TJwwGaibu m;
    TTransferLineFeeder feeder(m);
    feeder.Feed(text);
    feeder.Finish();
    return m;
  }();
  TView view;
  for (auto _ : state) {
    view.FitToWindow(model, 1200, 800);
    benchmark::DoNotOptimize(view.ViewScale);
  }
  state.SetItemsProcessed(state.iterations() * model.JwwCircleCount);
}
void BM_FitToWindowMixed(benchmark::State& state) {
  const TJwwGaibu& model = test::GeneratedDrawing(1'000'000);
  TView view;
  for (auto _ : state) {
    view.FitToWindow(model, 1200, 800);
    benchmark::DoNotOptimize(view.ViewScale);
  }
  state.SetItemsProcessed(state.iterations() * model.JwwOrderCount);
}
BENCHMARK(BM_FitToWindowCircles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitToWindowMixed)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
