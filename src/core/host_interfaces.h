// What the core asks of the host system while it draws.
#pragma once

#include <chrono>
#include <cstdint>

namespace pikrotta {

// The Esc key as the platform's asynchronous key state reports it at the moment of the call:
// holding it cuts a long drawing short.
class TEscKeyState {
 public:
  virtual ~TEscKeyState() = default;
  virtual bool EscPressed() const = 0;
};

// For hosts without a keyboard (the command line): never pressed.
class TNoEscKey : public TEscKeyState {
 public:
  bool EscPressed() const override { return false; }
};

// A clock that never goes back, in microseconds from an arbitrary start.
class TMonotonicClock {
 public:
  virtual ~TMonotonicClock() = default;
  virtual int64_t Microseconds() const = 0;
};

class TSteadyClock : public TMonotonicClock {
 public:
  int64_t Microseconds() const override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// Asks the system's key state at most once per interval and answers "up" in between: asking
// can cost microseconds (Wine looks at its X connection), and the pass asks every few records.
// A key held to stop a drawing is down far longer than the interval. "Down" is never kept, so a
// new drawing started just after the key was let go is not stopped by it.
class TThrottledEscKey : public TEscKeyState {
 public:
  static constexpr int64_t kIntervalMicroseconds = 15'000;

  TThrottledEscKey(const TEscKeyState& system, const TMonotonicClock& clock)
      : System(system), Clock(clock) {}

  bool EscPressed() const override {
    const int64_t now = Clock.Microseconds();
    if (AskedOnce && now - LastAsked < kIntervalMicroseconds) return false;
    AskedOnce = true;
    LastAsked = now;
    const bool pressed = System.EscPressed();
    if (pressed) AskedOnce = false;
    return pressed;
  }

 private:
  const TEscKeyState& System;
  const TMonotonicClock& Clock;
  mutable bool AskedOnce = false;
  mutable int64_t LastAsked = 0;
};

}  // namespace pikrotta
