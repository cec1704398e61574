// The whole drawing pass over a generated drawing of 1,000,000 mixed entities, a quarter of
// them texts, onto a canvas that only counts calls: fitted, and zoomed in 20 times.
#include <benchmark/benchmark.h>

#include "counting_canvas.h"
#include "drawing_fixture.h"
#include "gra.h"
#include "transfer_reader.h"

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

}  // namespace
