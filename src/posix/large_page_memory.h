// Block memory for the drawing's tables from mappings that Linux may back with 2 MiB pages:
// reading a large drawing first touches every byte of its records, and with 4 KiB pages half
// of a cold read went to page faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "jww_model.h"

namespace pikrotta {

class TLargePageMemory final : public TBlockMemory {
 public:
  // Blocks are cut from chunks of this size, aligned to a large page; a block of more than a
  // quarter of it gets a mapping of its own.
  static constexpr size_t kChunkBytes = size_t{32} << 20;
  static constexpr size_t kLargePage = size_t{2} << 20;

  TLargePageMemory() = default;
  ~TLargePageMemory();
  TLargePageMemory(const TLargePageMemory&) = delete;
  TLargePageMemory& operator=(const TLargePageMemory&) = delete;

  void* Allocate(size_t bytes) override;
  void Free(void* block, size_t bytes) noexcept override;

  // Mappings held now, for tests: a chunk goes back to the system once its last block is freed.
  size_t Mappings() const;

 private:
  struct TMapping {
    size_t Bytes = 0;
    size_t Used = 0;  // bytes handed out from its start, for the chunk still being cut
    size_t Live = 0;  // blocks not yet freed
  };
  mutable std::mutex Lock;
  std::map<uintptr_t, TMapping> Held;  // by start address
  uintptr_t Cutting = 0;               // the chunk new blocks come from, 0 when none
};

// Whether large pages are worth asking for. Not where a balloon driver is bound (under a
// hypervisor that may take free memory back, such as Firecracker, QEMU or Hyper-V): the guest
// then hands its free 2 MiB blocks back to the host, and each large page taken anew is faulted
// in from the host, slower than the small pages the guest has just freed; measured, a cold read
// took up to 2.7 times as long. sysfs is the root of the tree looked at, for tests.
bool LargePagesPay(const std::string& sysfs);
bool LargePagesPay();  // of this system, looked at once

// The memory of this process that the command line reads drawings into.
TLargePageMemory& ProcessLargePageMemory();

}  // namespace pikrotta
