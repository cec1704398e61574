// The whole composition onto the GDI canvas, as the window composes a view: background, the
// drawing pass, the image-reference marks, and the copy into a bitmap. Run under Wine (or on
// Windows): a generated drawing of 1,000,000 mixed entities fitted into 1200 x 800, batched and
// call by call, and the demo at 20 zoom steps.
#include <benchmark/benchmark.h>

#include "drawing_fixture.h"
#include "gdi_canvas.h"
#include "gra.h"
#include "null_canvas.h"

namespace {

using namespace pikrotta;

struct TComposer : test::TFittedDrawer {
  TComposer(const TJwwGaibu& model, int32_t width, int32_t height)
      : TFittedDrawer(model, width, height),
        Model(model),
        Surface(width, height),
        Canvas(Surface) {}
  void Compose() {
    Gra->ClearPaintArea(Canvas, Surface.Width(), Surface.Height());
    Gra->DrawAllEntities(Canvas);
    Gra->MarkImageRefs(Canvas, 10 / View.ViewScale);
    benchmark::DoNotOptimize(Canvas.CopyToBitmap(Surface.Width(), Surface.Height()));
  }
  const TJwwGaibu& Model;
  win32::TDibSurface Surface;
  win32::TGdiCanvas Canvas;
};

void ComposeGenerated(benchmark::State& state, bool batching) {
  TComposer composer(test::GeneratedDrawing(1'000'000), 1200, 800);
  composer.Canvas.Batching = batching;
  composer.Compose();  // the fonts of this view are made here, once
  const int64_t fonts = composer.Canvas.FontsCreated;
  for (auto _ : state) composer.Compose();
  state.SetItemsProcessed(state.iterations() * composer.Model.JwwOrderCount);
  state.counters["fonts_first"] = static_cast<double>(fonts);
  state.counters["fonts_again"] = static_cast<double>(composer.Canvas.FontsCreated - fonts);
}

void BM_ComposeMillionBatched(benchmark::State& state) {
  ComposeGenerated(state, true);
}
void BM_ComposeMillionCallByCall(benchmark::State& state) {
  ComposeGenerated(state, false);
}
BENCHMARK(BM_ComposeMillionBatched)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_ComposeMillionCallByCall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// A repaint as the paint request makes it: the paint area cleared, framed and covered by the
// composed bitmap, then put on a second surface that stands for the window on the screen.
void BM_RepaintFromBitmap(benchmark::State& state) {
  TComposer composer(test::GeneratedDrawing(1'000'000), 1200, 800);
  composer.Compose();
  const std::unique_ptr<TBitmap> composed = composer.Canvas.CopyToBitmap(1200, 800);
  win32::TDibSurface screen(1200, 800);
  for (auto _ : state) {
    composer.Gra->ClearPaintArea(composer.Canvas, 1200, 800);
    TGra::SetScreenPen(composer.Canvas, MakeColor(0, 0, 255), 0, 0);
    TGra::DrawPixelRect(composer.Canvas, 0, 0, 1199, 799);
    composer.Canvas.BitBlt(0, 0, *composed);
    composer.Canvas.Flush();
    ::BitBlt(screen.Dc(), 0, 0, 1200, 800, composer.Surface.Dc(), 0, 0, SRCCOPY);
    ::GdiFlush();
  }
}
BENCHMARK(BM_RepaintFromBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pass onto a canvas that draws nothing: what the drawing code itself costs here.
void BM_DrawPassMillionNoCanvas(benchmark::State& state) {
  const TJwwGaibu& model = test::GeneratedDrawing(1'000'000);
  test::TFittedDrawer drawer(model, 1200, 800);
  TNullCanvas canvas;
  for (auto _ : state) {
    drawer.Gra->DrawAllEntities(canvas);
    drawer.Gra->MarkImageRefs(canvas, 10 / drawer.View.ViewScale);
  }
  state.SetItemsProcessed(state.iterations() * model.JwwOrderCount);
}
BENCHMARK(BM_DrawPassMillionNoCanvas)->Unit(benchmark::kMillisecond)->UseRealTime();

// The demo zoomed in by the wheel's factor twenty times about its centre, composing each step.
void BM_ComposeDemoTwentyZoomSteps(benchmark::State& state) {
  TComposer composer(test::DemoDrawing(), 1200, 800);
  const TView fitted = composer.View;
  for (auto _ : state) {
    composer.View = fitted;
    for (int step = 0; step < 20; ++step) {
      composer.View.ViewScale *= 1.5;
      composer.View.CentreAt((fitted.ViewLeft + fitted.ViewRight) / 2,
                             (fitted.ViewBottom + fitted.ViewTop) / 2);
      composer.Compose();
    }
  }
  state.SetItemsProcessed(state.iterations() * 20);
  state.counters["fonts"] = static_cast<double>(composer.Canvas.FontsCreated);
}
BENCHMARK(BM_ComposeDemoTwentyZoomSteps)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
