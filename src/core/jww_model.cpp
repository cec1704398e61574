#include "jww_model.h"

namespace pikrotta {

namespace {

class THeapBlockMemory final : public TBlockMemory {
 public:
  void* Allocate(size_t bytes) override { return ::operator new(bytes); }
  void Free(void* block, size_t) noexcept override { ::operator delete(block); }
};

}  // namespace

TBlockMemory& HeapBlockMemory() {
  static THeapBlockMemory heap;
  return heap;
}

void TJwwGaibu::ResetModel() {
  JwwFileName.clear();
  LayerGroupScale.fill(1.0);
  NoScale = false;
  JwwTextStyles.fill(TJwwTextStyle{3.0, 3.0, 0.0, 2});
  FreeModel();
  JwwState = TJwwState{};
}

void TJwwGaibu::FreeModel() {
  JwwOrder.Release();
  JwwOrderCount = 0;
  ForEachTable([](auto, auto& table, int32_t& count) {
    table.Release();
    count = 0;
  });
}

void TJwwGaibu::UseBlockMemory(TBlockMemory& memory) {
  JwwOrder.UseMemory(memory);
  ForEachTable([&](auto, auto& table, int32_t&) { table.UseMemory(memory); });
}

}  // namespace pikrotta
