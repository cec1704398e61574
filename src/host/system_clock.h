// The host's local clock; calendar names come from the core's Japanese calendar.
#pragma once

#include "text_codes.h"

namespace pikrotta {

class TSystemClock : public TClockLocale {
 public:
  TDateTime Now() const override;
};

}  // namespace pikrotta
