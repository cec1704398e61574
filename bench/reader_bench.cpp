// Throughput of reading a transfer file with a realistic mix of entity lines, cold as a user's
// run and warm.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

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

// Cold: what a user's run sees. Each iteration is a fresh process of the command line reading
// the file (from the page cache) into memory it has never touched, as the program does.
// `mawk '{n += NF}'` on the same file is the yardstick of a plain field split.
bool RunToEnd(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return !failed && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

void RunCold(benchmark::State& state, std::vector<std::string> command) {
  const fs::path path = TransferFile(static_cast<size_t>(state.range(0)));
  command.push_back(path.string());
  for (auto _ : state)
    if (!RunToEnd(command)) return state.SkipWithError("the command failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void BM_ReadTransferFileCold(benchmark::State& state) {
  RunCold(state, {PIKROTTA_CLI, "dump", "--summary"});
}
void BM_MawkFieldCount(benchmark::State& state) {
  RunCold(state, {"mawk", "{n += NF} END {print n}"});
}
BENCHMARK(BM_ReadTransferFileCold)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MawkFieldCount)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// Warm: the parse alone. The memory of a model read before is reused, so no page is touched
// for the first time; this flatters a real run by the cost of fresh memory.
void BM_ReadTransferFileWarm(benchmark::State& state) {
  const fs::path path = TransferFile(static_cast<size_t>(state.range(0)));
  int64_t entities = 0;
  auto model = std::make_unique<TJwwGaibu>();
  ReadTransferFile(*model, *OpenNativeFile(path));
  for (auto _ : state) {
    model = std::make_unique<TJwwGaibu>();  // the old one's blocks go back to the heap first
    ReadTransferFile(*model, *OpenNativeFile(path));
    entities = model->JwwOrderCount;
    benchmark::DoNotOptimize(entities);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
  state.counters["entities"] = static_cast<double>(entities);
}
BENCHMARK(BM_ReadTransferFileWarm)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StrToFloatDef0(benchmark::State& state) {
  std::mt19937 random(7);
  std::vector<std::string> numbers;
  for (int i = 0; i < 1024; ++i) numbers.push_back(Number(random, 1000));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(StrToFloatDef0(numbers[i++ & 1023]));
}
BENCHMARK(BM_StrToFloatDef0);

}  // namespace
