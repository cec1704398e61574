#include "large_page_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <new>
#include <system_error>

namespace pikrotta {

namespace {

constexpr size_t kAlignment = alignof(std::max_align_t);

size_t RoundUp(size_t bytes, size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

// A mapping of bytes (a multiple of the large page) that starts on a large page. Linux is
// asked for large pages; where it offers none, or says no, the mapping is still good.
void* MapAligned(size_t bytes) {
  const size_t extra = TLargePageMemory::kLargePage;
  void* raw =
      ::mmap(nullptr, bytes + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = RoundUp(start, extra);
  if (aligned > start) ::munmap(raw, aligned - start);
  if (const uintptr_t end = aligned + bytes; end < start + bytes + extra)
    ::munmap(reinterpret_cast<void*>(end), start + bytes + extra - end);
#ifdef MADV_HUGEPAGE
  if (LargePagesPay()) ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

// Backs a block's pages in one call before it is handed out: its records are written at once,
// and with small pages a fault on each 4 KiB of them cost more than the call. Kernels before
// 5.14 refuse the advice, and the pages are then faulted in as they are written.
void Populate(void* block, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  static const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t from = start & ~(page - 1);
  ::madvise(reinterpret_cast<void*>(from), start + bytes - from, MADV_POPULATE_WRITE);
#else
  (void)block, (void)bytes;
#endif
}

}  // namespace

bool LargePagesPay(const std::string& sysfs) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const char* driver : {"/bus/virtio/drivers/virtio_balloon", "/bus/vmbus/drivers/hv_balloon"})
    for (const fs::directory_entry& entry : fs::directory_iterator(sysfs + driver, error))
      if (entry.is_symlink(error) && entry.path().filename() != "module")
        return false;  // a device the driver is bound to
  return true;
}

bool LargePagesPay() {
  static const bool pay = LargePagesPay("/sys");
  return pay;
}

TLargePageMemory::~TLargePageMemory() {
  for (const auto& [start, mapping] : Held) ::munmap(reinterpret_cast<void*>(start), mapping.Bytes);
}

void* TLargePageMemory::Allocate(size_t bytes) {
  bytes = RoundUp(bytes == 0 ? 1 : bytes, kAlignment);
  const std::lock_guard<std::mutex> hold(Lock);
  if (bytes > kChunkBytes / 4) {
    const size_t mapped = RoundUp(bytes, kLargePage);
    void* own = MapAligned(mapped);
    try {
      Held.emplace(reinterpret_cast<uintptr_t>(own), TMapping{mapped, mapped, 1});
    } catch (...) {
      ::munmap(own, mapped);
      throw;
    }
    Populate(own, bytes);
    return own;
  }
  if (Cutting == 0 || Held.at(Cutting).Used + bytes > kChunkBytes) {
    void* chunk = MapAligned(kChunkBytes);
    try {
      Held.emplace(reinterpret_cast<uintptr_t>(chunk), TMapping{kChunkBytes, 0, 0});
    } catch (...) {
      ::munmap(chunk, kChunkBytes);
      throw;
    }
    // The chunk cut before stays until its last block is freed.
    Cutting = reinterpret_cast<uintptr_t>(chunk);
  }
  TMapping& chunk = Held.at(Cutting);
  void* block = reinterpret_cast<void*>(Cutting + chunk.Used);
  chunk.Used += bytes;
  ++chunk.Live;
  Populate(block, bytes);
  return block;
}

void TLargePageMemory::Free(void* block, size_t) noexcept {
  if (block == nullptr) return;
  const auto address = reinterpret_cast<uintptr_t>(block);
  const std::lock_guard<std::mutex> hold(Lock);
  auto it = Held.upper_bound(address);
  if (it == Held.begin()) return;  // not ours: nothing to do rather than harm
  --it;
  TMapping& mapping = it->second;
  if (address >= it->first + mapping.Bytes || mapping.Live == 0) return;
  if (--mapping.Live > 0) return;
  if (it->first == Cutting) {
    mapping.Used = 0;  // cut again from its start; its pages stay touched for the next drawing
    return;
  }
  ::munmap(reinterpret_cast<void*>(it->first), mapping.Bytes);
  Held.erase(it);
}

size_t TLargePageMemory::Mappings() const {
  const std::lock_guard<std::mutex> hold(Lock);
  return Held.size();
}

TLargePageMemory& ProcessLargePageMemory() {
  static TLargePageMemory memory;
  return memory;
}

}  // namespace pikrotta
