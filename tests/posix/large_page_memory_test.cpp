#include "large_page_memory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>
#include <vector>

#include "platform_host.h"
#include "posix_host.h"
#include "transfer_reader.h"

namespace pikrotta {
namespace {

struct TBlock {
  char* Bytes;
  size_t Size;
};

TEST(LargePageMemory, BlocksAreAlignedApartAndKeepWhatIsWrittenUntilFreed) {
  TLargePageMemory memory;
  std::mt19937 random(5);
  std::vector<TBlock> blocks;
  // Sizes of the tables' blocks and some odd ones, more than a chunk's worth in all.
  const size_t sizes[] = {1, 8000, 56000, 80000, 152000, 232000, 12345};
  for (int i = 0; i < 700; ++i) {
    const size_t size = sizes[static_cast<size_t>(i) % std::size(sizes)];
    auto* bytes = static_cast<char*>(memory.Allocate(size));
    ASSERT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u);
    std::memset(bytes, i & 0xFF, size);
    blocks.push_back({bytes, size});
  }
  EXPECT_GT(memory.Mappings(), 1u);
  std::shuffle(blocks.begin(), blocks.end(), random);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const TBlock& b = blocks[i];
    // Nothing written to another block landed here.
    ASSERT_EQ(std::count(b.Bytes, b.Bytes + b.Size, b.Bytes[0]), static_cast<ptrdiff_t>(b.Size));
    memory.Free(b.Bytes, b.Size);
  }
  // Every chunk went back to the system but the one still being cut.
  EXPECT_EQ(memory.Mappings(), 1u);
}

TEST(LargePageMemory, ABigBlockHasAMappingOfItsOwnThatGoesWithIt) {
  TLargePageMemory memory;
  void* small = memory.Allocate(100);
  const size_t big = TLargePageMemory::kChunkBytes;  // over a quarter of a chunk
  void* large = memory.Allocate(big);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(large) % TLargePageMemory::kLargePage, 0u);
  std::memset(large, 1, big);
  EXPECT_EQ(memory.Mappings(), 2u);
  memory.Free(large, big);
  EXPECT_EQ(memory.Mappings(), 1u);
  int local = 0;
  memory.Free(&local, sizeof local);  // not ours: ignored
  memory.Free(small, 100);
  EXPECT_EQ(memory.Mappings(), 1u);
}

// Pages of a block are backed when it is handed out, so that writing its records faults none.
TEST(LargePageMemory, ABlockIsBackedWhenHandedOut) {
#ifndef MADV_POPULATE_WRITE
  GTEST_SKIP() << "no advice to back pages";
#else
  const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  void* probe = ::mmap(nullptr, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(probe, MAP_FAILED);
  const bool refused = ::madvise(probe, page, MADV_POPULATE_WRITE) != 0;
  ::munmap(probe, page);
  if (refused) GTEST_SKIP() << "the kernel does not back pages on advice";
  TLargePageMemory memory;
  // Pages of the block that are not resident.
  auto absent = [&](void* block, size_t bytes) {
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t from = start & ~(page - 1);
    std::vector<unsigned char> pages((start + bytes - from + page - 1) / page);
    EXPECT_EQ(::mincore(reinterpret_cast<void*>(from), start + bytes - from, pages.data()), 0);
    return std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return !(p & 1); });
  };
  for (const size_t bytes : {size_t{100}, size_t{152000}, TLargePageMemory::kChunkBytes / 2})
    EXPECT_EQ(absent(memory.Allocate(bytes), bytes), 0) << bytes;
#endif
}

TEST(LargePageMemory, TheCommandLineReadsIntoItAndGetsTheSameDrawing) {
  const TPosixHost host;
  EXPECT_EQ(&host.BlockMemory(), &ProcessLargePageMemory());
  std::string text = "file=a.jww\nlc3\n";
  for (int i = 0; i < 2500; ++i)
    text += std::to_string(i) + " 0 1 1\nch 0 " + std::to_string(i) + " 1 0 t" + std::to_string(i) +
            "\nci 1 2 3 0 90 1 0\n";
  auto read = [&](TBlockMemory* memory) {
    TJwwGaibu model;
    if (memory) model.UseBlockMemory(*memory);
    TTransferLineFeeder feeder(model);
    feeder.Feed(text);
    feeder.Finish();
    return model;
  };
  TLargePageMemory memory;
  {
    const TJwwGaibu inLargePages = read(&memory);
    EXPECT_EQ(inLargePages.JwwOrderCount, 7500);
    EXPECT_EQ(inLargePages, read(nullptr));
  }
  EXPECT_EQ(memory.Mappings(), 1u);
}

TEST(LargePages, PayUnlessABalloonDriverIsBoundToADevice) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(::testing::TempDir()) / ("sysfs-" + std::to_string(::getpid()));
  struct TCase {
    const char* Driver;  // under bus/, empty for none
    const char* Entry;   // made in the driver's folder: a link when it ends in "@"
    bool Pay;
  };
  const TCase cases[] = {
      {"", "", true},
      {"virtio/drivers/virtio_balloon", "uevent", true},  // the driver, no device
      {"virtio/drivers/virtio_balloon", "module@", true},
      {"virtio/drivers/virtio_balloon", "virtio0@", false},
      {"vmbus/drivers/hv_balloon", "1eccfd72-4b41-45ef-b73a-4a6e44c12924@", false},
      {"virtio/drivers/virtio_net", "virtio1@", true},  // another driver's device
  };
  for (const TCase& c : cases) {
    fs::remove_all(root);
    fs::create_directories(root / "devices");
    if (*c.Driver != '\0') {
      const fs::path folder = root / "bus" / c.Driver;
      fs::create_directories(folder);
      std::string entry = c.Entry;
      if (entry.ends_with('@')) {
        entry.pop_back();
        fs::create_directory_symlink(root / "devices", folder / entry);
      } else {
        std::ofstream(folder / entry) << "";
      }
    }
    EXPECT_EQ(LargePagesPay(root.string()), c.Pay) << c.Driver << "/" << c.Entry;
  }
  fs::remove_all(root);
}

bool HeapLargePagesOnRequest() {
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(mode, modes);
  return modes.find("[madvise]") != std::string::npos;
}

// Not a test by itself: what the program started again sees, written where the test says.
TEST(LargePagesForTheHeap, StartedAgainWritesItsTunables) {
  const char* out = std::getenv("PIKROTTA_TUNABLES_TO");
  if (!out) GTEST_SKIP() << "only as the program started again";
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  std::ofstream(out) << "again:" << (tunables ? tunables : "");
}

// What the process that called UseLargePagesForTheHeap wrote: "again:..." from the program
// started again, "returned" when the call came back.
std::string StartWith(const char* tunables) {
  const std::string out = ::testing::TempDir() + "tunables-" + std::to_string(::getpid());
  std::remove(out.c_str());
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("PIKROTTA_TUNABLES_TO", out.c_str(), 1);
    if (tunables)
      ::setenv("GLIBC_TUNABLES", tunables, 1);
    else
      ::unsetenv("GLIBC_TUNABLES");
    std::string self = "pikrotta_posix_tests";
    std::string filter = "--gtest_filter=LargePagesForTheHeap.StartedAgainWritesItsTunables";
    char* argv[] = {self.data(), filter.data(), nullptr};
    UseLargePagesForTheHeap(argv);
    std::ofstream(out) << "returned";
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  std::ifstream in(out);
  std::string said;
  std::getline(in, said);
  std::remove(out.c_str());
  return said;
}

TEST(LargePagesForTheHeap, TheProgramStartsAgainOnceWithGlibcsTunable) {
  if (!HeapLargePagesOnRequest()) GTEST_SKIP() << "transparent huge pages are not on request here";
  if (!LargePagesPay()) {
    EXPECT_EQ(StartWith(nullptr), "returned");  // under a host that takes free memory back
    return;
  }
  EXPECT_EQ(StartWith(nullptr), "again:glibc.malloc.hugetlb=1");
  EXPECT_EQ(StartWith("glibc.malloc.arena_max=2"),
            "again:glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1");
  // A choice already made, by the user or by the start before, stands.
  EXPECT_EQ(StartWith("glibc.malloc.hugetlb=0"), "returned");
}

}  // namespace
}  // namespace pikrotta
