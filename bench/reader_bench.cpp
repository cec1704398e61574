// Throughput of reading a transfer file with a realistic mix of entity lines.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "my_func.h"
#include "platform_host.h"
#include "transfer_reader.h"

namespace {

namespace fs = std::filesystem;
using namespace pikrotta;

std::string Number(std::mt19937& random, double scale) {
  std::uniform_real_distribution<double> d(-scale, scale);
  char buffer[32];
  const int n = std::snprintf(buffer, sizeof buffer, "%.4f", d(random));
  return std::string(buffer, static_cast<size_t>(n));
}

// About 80 % four-number lines, then texts, arcs, points, solids and attribute changes.
std::string MakeTransferText(size_t bytes) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> pick(0, 99);
  std::string text = "file=C:\\JWW\\bench.jww\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n";
  text.reserve(bytes + 256);
  auto n = [&](double scale = 1000) { return Number(random, scale); };
  while (text.size() < bytes) {
    const int p = pick(random);
    if (p < 80) {
      text += n() + " " + n() + " " + n() + " " + n();
    } else if (p < 88) {
      text += "ch " + n() + " " + n() + " 30 0 \"\x90\x7d\x96\xca text " + std::to_string(p);
    } else if (p < 92) {
      text += "ci " + n() + " " + n() + " " + n(50) + " 0 90 1 0";
    } else if (p < 95) {
      text += "pt " + n() + " " + n();
    } else if (p < 97) {
      text += "sl " + n() + " " + n() + " " + n() + " " + n() + " " + n() + " " + n();
    } else {
      text += "lc" + std::to_string(p % 9 + 1);
    }
    text += "\r\n";
  }
  return text;
}

// The file is written once per size and kept in the temporary folder between runs.
fs::path TransferFile(size_t megabytes) {
  const fs::path path =
      fs::temp_directory_path() / ("pikrotta-bench-" + std::to_string(megabytes) + "MB.txt");
  if (!fs::exists(path) || fs::file_size(path) < megabytes << 20) {
    const std::string text = MakeTransferText(megabytes << 20);
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return path;
}

void BM_ReadTransferFile(benchmark::State& state) {
  const fs::path path = TransferFile(static_cast<size_t>(state.range(0)));
  int64_t entities = 0;
  for (auto _ : state) {
    TJwwGaibu model;
    ReadTransferFile(model, *OpenNativeFile(path));
    entities = model.JwwOrderCount;
    benchmark::DoNotOptimize(entities);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
  state.counters["entities"] = static_cast<double>(entities);
}
BENCHMARK(BM_ReadTransferFile)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StrToFloatDef0(benchmark::State& state) {
  std::mt19937 random(7);
  std::vector<std::string> numbers;
  for (int i = 0; i < 1024; ++i) numbers.push_back(Number(random, 1000));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(StrToFloatDef0(numbers[i++ & 1023]));
}
BENCHMARK(BM_StrToFloatDef0);

}  // namespace
