// The whole drawing pass over a generated drawing of 1,000,000 mixed entities, a quarter of
// them texts, onto a canvas that only counts calls: fitted, and zoomed in 20 times.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "counting_canvas.h"
#include "gra.h"
#include "transfer_reader.h"

namespace {

using namespace pikrotta;

// A 2000 x 1400 mm sheet; texts 3 to 5 mm high, a few of them image references and codes.
const TJwwGaibu& MixedDrawing() {
  static const TJwwGaibu model = [] {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(0, 2000), y(0, 1400), r(1, 30), angle(0, 360);
    std::uniform_int_distribution<int> pick(0, 99);
    auto n = [](double v) { return std::to_string(v); };
    TJwwGaibu m;
    TTransferLineFeeder feeder(m);
    std::string text = "hcw 3 4 5 3 4 5 3 4 5 3\nhch 3 4 5 3 4 5 3 4 5 3\n";
    for (int i = 0; i < 1'000'000; ++i) {
      const int p = pick(random);
      const double x0 = x(random), y0 = y(random);
      if (p < 25) {
        text += "cn" + std::to_string(p % 10 + 1) + "\nch " + n(x0) + " " + n(y0) + " 40 0 ";
        text += p == 0 ? "^@BMimages\\a.bmp,30,20" : p == 1 ? "%j" : "\"Room \x95\x94\x89\xae ^!12";
      } else if (p < 70) {
        text += n(x0) + " " + n(y0) + " " + n(x0 + r(random)) + " " + n(y0 + r(random));
      } else if (p < 80) {
        text += "ci " + n(x0) + " " + n(y0) + " " + n(r(random));
      } else if (p < 88) {
        text += "ci " + n(x0) + " " + n(y0) + " " + n(r(random)) + " " + n(angle(random)) + " " +
                n(angle(random)) + " 1 0";
      } else if (p < 94) {
        text += "pt " + n(x0) + " " + n(y0) + (p % 2 ? " 1 45 " + std::to_string(p % 12) : "");
      } else {
        text += "sl " + n(x0) + " " + n(y0) + " " + n(x0 + 5) + " " + n(y0) + " " + n(x0) + " " +
                n(y0 + 5);
      }
      text += "\n";
    }
    feeder.Feed(text);
    feeder.Finish();
    return m;
  }();
  return model;
}

void RunPass(benchmark::State& state, double zoom) {
  const TJwwGaibu& model = MixedDrawing();
  TView view;
  view.FitToWindow(model, 1200, 800);
  view.ViewScale *= zoom;
  view.CentreAt((view.ExtentLeft + view.ExtentRight) / 2, (view.ExtentBottom + view.ExtentTop) / 2);
  const TgraAttribute attributes;
  const TFixedClock clock({2008, 5, 3, 9, 4, 5});
  const TNoEscKey keys;
  TGra gra(view, attributes, model, clock, keys);
  gra.SearchPrefix = "^@BM";
  bench::TCountingCanvas canvas;
  for (auto _ : state) {
    canvas.Calls = 0;
    gra.DrawAllEntities(canvas);
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
