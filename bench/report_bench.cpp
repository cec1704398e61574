// The report of a site drawing that links 200 photos of 4000 x 3000 pixels, as `report`
// writes it: search, diagnosis, a thumbnail of each photo and, with --images, each photo in
// its frame. Photos as cameras write them carry an Exif thumbnail; the others are decoded
// whole. The page's size is reported beside the time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "picture_fixture.h"
#include "report.h"

namespace {

using namespace pikrotta;
namespace fs = std::filesystem;

constexpr int32_t kPhotos = 200;

// A drive with C:\SITE\site.txt linking C:\SITE\PHOTOS\p000.jpg ... in frames of 40 x 30 mm.
// The photos are links to one file: what is timed is the report's reading and decoding, the
// same for each, while making 200 different photos would take a minute.
fs::path SiteDrive(bool exif) {
  const fs::path drive =
      fs::temp_directory_path() / (exif ? "pikrotta-bench-photos-exif" : "pikrotta-bench-photos");
  const fs::path photos = drive / "SITE" / "PHOTOS";
  if (fs::exists(photos / "p199.jpg")) return drive;
  fs::create_directories(photos);
  const TPixels photo = test::SitePhoto(4000, 3000, 7);
  std::string jpeg = JpegBytes(photo, 90);
  if (exif) {
    const TPixelSize small = FitWithin(4000, 3000, 160);
    jpeg = test::WithExifThumbnail(jpeg, JpegBytes(ScaledTo(photo, small.Width, small.Height), 90),
                                   true);
  }
  std::ofstream(photos / "photo.jpg", std::ios::binary) << jpeg;
  std::string text = "file=C:\\SITE\\site.jww\n";
  for (int32_t i = 0; i < kPhotos; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "p%03d.jpg", i);
    fs::create_hard_link(photos / "photo.jpg", photos / name);
    text += "ch " + std::to_string(i % 20 * 50) + " " + std::to_string(i / 20 * 40) +
            " 10 0 ^@BMPHOTOS\\" + name + ",40,30\n";
  }
  std::ofstream(drive / "SITE" / "site.txt", std::ios::binary) << text;
  return drive;
}

void BM_ReportOf200Photos(benchmark::State& state) {
  const bool exif = state.range(0) != 0;
  const fs::path drive = SiteDrive(exif);
  TReportOptions options;
  options.List.TransferFile = drive / "SITE" / "site.txt";
  options.List.Host.Drives['C'] = drive;
  options.Images = state.range(1) != 0;
  size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream page;
    MakeReport(options, [&] { return &page; });
    bytes = page.view().size();
    benchmark::DoNotOptimize(page.view().data());
  }
  state.counters["page_MB"] = static_cast<double>(bytes) / 1e6;
  state.SetItemsProcessed(state.iterations() * kPhotos);
}
BENCHMARK(BM_ReportOf200Photos)
    ->ArgNames({"exif", "images"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
