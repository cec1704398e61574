#include "jww_model.h"

namespace pikrotta {

namespace {

template <class T>
void Release(TJwwTable<T>& table, int32_t& count) {
  table.Release();
  count = 0;
}

}  // namespace

void TJwwGaibu::ResetModel() {
  JwwFileName.clear();
  LayerGroupScale.fill(1.0);
  NoScale = false;
  JwwTextStyles.fill(TJwwTextStyle{3.0, 3.0, 0.0, 2});
  FreeModel();
  JwwState = TJwwState{};
}

void TJwwGaibu::FreeModel() {
  Release(JwwOrder, JwwOrderCount);
  Release(JwwLines, JwwLineCount);
  Release(JwwCircles, JwwCircleCount);
  Release(JwwArcs, JwwArcCount);
  Release(JwwTexts, JwwTextCount);
  Release(JwwPoints, JwwPointCount);
  Release(JwwPointExs, JwwPointExCount);
  Release(JwwMsgTexts, JwwMsgTextCount);
  Release(JwwBlocks, JwwBlockCount);
  Release(JwwSolid2s, JwwSolid2Count);
  Release(JwwSolid3s, JwwSolid3Count);
  Release(JwwSolid4s, JwwSolid4Count);
  Release(JwwSolidScs, JwwSolidScCount);
  Release(JwwSolidSes, JwwSolidSeCount);
  Release(JwwSolidSos, JwwSolidSoCount);
  Release(JwwSolidSgs, JwwSolidSgCount);
}

}  // namespace pikrotta
