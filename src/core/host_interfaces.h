// What the core asks of the host system while it draws.
#pragma once

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

}  // namespace pikrotta
