#include "jww_model.h"

namespace pikrotta {

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

}  // namespace pikrotta
