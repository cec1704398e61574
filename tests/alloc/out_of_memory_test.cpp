// Reading when memory runs out. This program replaces the global allocator so that a test can
// make every allocation from some point on fail, as in a 32-bit process whose address space
// is full.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "platform_host.h"
#include "transfer_reader.h"

namespace {

// Allocations left before they start to fail; negative while failing is off.
long AllocationsLeft = -1;
// The largest single allocation since it was last set to 0.
std::size_t LargestAllocation = 0;

void* Allocate(std::size_t size) {
  if (size > LargestAllocation) LargestAllocation = size;
  if (AllocationsLeft == 0) throw std::bad_alloc();
  if (AllocationsLeft > 0) --AllocationsLeft;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace pikrotta {
namespace {

namespace fs = std::filesystem;

// Every order item names a record that exists, and the counts add up.
void ExpectConsistent(const TJwwGaibu& m) {
  int32_t counts[kEntityKindCount + 1] = {};
  m.ForEachTable([&](auto kind, const auto& table, int32_t count) {
    counts[kind] = count;
    EXPECT_LE(static_cast<size_t>(count), table.size()) << kTableNames[kind];
  });
  int32_t seen[kEntityKindCount + 1] = {};
  ASSERT_LE(static_cast<size_t>(m.JwwOrderCount), m.JwwOrder.size());
  for (int32_t i = 0; i < m.JwwOrderCount; ++i) {
    const TJwwOrderItem item = m.JwwOrder[static_cast<size_t>(i)];
    ASSERT_GE(item.EntityKind, 1);
    ASSERT_LE(item.EntityKind, kEntityKindCount);
    EXPECT_EQ(item.EntityIndex, seen[item.EntityKind]++);
  }
  for (int32_t k = 1; k <= kEntityKindCount; ++k) EXPECT_EQ(seen[k], counts[k]) << "kind " << k;
}

// Before, an allocation failure escaped from the reader as an uncaught std::bad_alloc and
// ended the program. Now it is a read failure: false, and what was read stays consistent.
TEST(OutOfMemory, ReadingStopsAndKeepsWhatWasRead) {
  const fs::path path = fs::temp_directory_path() / "pikrotta-out-of-memory.txt";
  {
    std::string text = "file=C:\\a.jww\r\n";
    for (int i = 0; i < 1500; ++i) {
      text += "0 0 1 1\r\nch 0 0 1 0 \"text " + std::to_string(i) + "\r\nBL 1 2 block\r\n";
      text += "ci 0 0 5\r\nsl 0 0 1 0 1 1\r\n";
    }
    text += "ch 0 0 1 0 " + std::string(3 << 20, 'x') + "\r\n";  // a line over several chunks
    std::ofstream(path, std::ios::binary) << text;
  }
  TJwwGaibu whole;
  ASSERT_TRUE(ReadTransferFile(whole, *OpenNativeFile(path)));
  int32_t failures = 0;
  for (long budget = 0; budget < 400; budget += 7) {
    TJwwGaibu m;
    const std::unique_ptr<TInputFile> file = OpenNativeFile(path);
    ASSERT_TRUE(file);
    AllocationsLeft = budget;
    const bool complete = ReadTransferFile(m, *file);
    AllocationsLeft = -1;
    ExpectConsistent(m);
    if (!complete) ++failures;
    EXPECT_LE(m.JwwOrderCount, whole.JwwOrderCount);
  }
  EXPECT_GT(failures, 0);
  fs::remove(path);
}

// A line of hundreds of megabytes, generated as it is read: one field, or a text.
class TLongLineFile : public TInputFile {
 public:
  TLongLineFile(std::string head, size_t filler) : Head(std::move(head)), Filler(filler) {}
  int64_t Read(char* buffer, size_t size) override {
    size_t n = 0;
    for (; n < size && Pos < Head.size(); ++n, ++Pos) buffer[n] = Head[Pos];
    const size_t run = std::min(size - n, Head.size() + Filler - Pos);
    std::fill_n(buffer + n, run, 'x');
    Pos += run;
    return static_cast<int64_t>(n + run);
  }

 private:
  std::string Head;
  size_t Filler, Pos = 0;
};

// Before, a one-field line of 2 GiB kept all of it while it was read, and a text line kept
// its text whole although only 255 bytes of it stay: the line's memory grew with the line.
TEST(LongLines, CostAMegabyteOrSoHoweverLongTheyAre) {
  for (const char* head : {"", "ch 1 2 10 0 ", "file="}) {
    TJwwGaibu m;
    TLongLineFile file(head, size_t{256} << 20);
    LargestAllocation = 0;
    ASSERT_TRUE(ReadTransferFile(m, file)) << head;
    EXPECT_LE(LargestAllocation, size_t{4} << 20) << head;
    if (std::string_view(head).starts_with("ch")) {
      ASSERT_EQ(m.JwwTextCount, 1);
      EXPECT_EQ(m.JwwTexts[0].Text, std::string(255, 'x'));
    }
  }
}

}  // namespace
}  // namespace pikrotta
