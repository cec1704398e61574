// The search button on drawings of 100,000 and 1,000,000 image references, as `list` runs it:
// redraw with the marks, collect, resolve and test every path, fill the list.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "main_window.h"
#include "memory_controls.h"
#include "null_canvas.h"
#include "posix_host.h"
#include "transfer_reader.h"

namespace {

using namespace pikrotta;

void BM_SearchImageRefs(benchmark::State& state) {
  const auto count = static_cast<int32_t>(state.range(0));
  const std::filesystem::path drive = std::filesystem::temp_directory_path() / "pikrotta-bench-c";
  std::filesystem::create_directories(drive / "IMG");
  std::string text = "file=C:\\DRAW\\plan.jww\n";
  for (int32_t i = 0; i < count; ++i) {
    const char* paths[] = {"C:\\IMG\\a", "%temp%\\b", "img\\c", "\\\\server\\share\\d"};
    text += "ch " + std::to_string(i % 1000) + " " + std::to_string(i / 1000) + " 10 0 ^@BM" +
            paths[i % 4] + std::to_string(i) + ".bmp,10,10\n";
  }
  TPosixHost host;
  host.Drives['C'] = drive;
  host.JwcadOpenCommand = "C:\\JWW\\Jw_win.exe";
  TMemoryControls<TNullCanvas> controls;
  TForm1 form(controls, host);
  form.FormCreate();
  TTransferLineFeeder feeder(form.JwwGaibu);
  feeder.Feed(text);
  feeder.Finish();
  form.FitToWindow();
  form.ViewReady = true;
  for (auto _ : state) {
    form.Button2Click();
    benchmark::DoNotOptimize(controls.Rows.size());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SearchImageRefs)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
