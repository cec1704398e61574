// An Esc key that tests hold down from a chosen poll on, counting the polls.
#pragma once

#include <cstdint>

#include "host_interfaces.h"

namespace pikrotta::test {

class TFakeEscKey : public TEscKeyState {
 public:
  bool EscPressed() const override { return ++Polls > DownAfterPolls; }
  int32_t DownAfterPolls = 1 << 30;
  mutable int32_t Polls = 0;
};

}  // namespace pikrotta::test
