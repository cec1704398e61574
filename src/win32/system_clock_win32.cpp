#include "system_clock.h"
#include "windows_api.h"

namespace pikrotta {

TDateTime TSystemClock::Now() const {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace pikrotta
