// A view of 10 pixels per mm over (-50, -50)..(50, 50) in a 1000 x 1000 paint area, with a
// recording canvas: pixel x = (x + 50) * 10, pixel y = 1000 - (y + 50) * 10.
#pragma once

#include <gtest/gtest.h>

#include "gra.h"
#include "recording_canvas.h"

namespace pikrotta::test {

// An Esc key that tests hold down from a chosen poll on, counting the polls.
class TFakeEscKey : public TEscKeyState {
 public:
  bool EscPressed() const override { return ++Polls > DownAfterPolls; }
  int32_t DownAfterPolls = 1 << 30;
  mutable int32_t Polls = 0;
};

class GraTest : public ::testing::Test {
 protected:
  GraTest() {
    View.ViewScale = 10;
    View.ViewWidth = View.ViewHeight = 1000;
    View.CentreAt(0, 0);
  }

  std::vector<TCanvasCall> CallsOf(TCallKind kind) const {
    std::vector<TCanvasCall> calls;
    for (const TCanvasCall& c : Canvas.Calls)
      if (c.Kind == kind) calls.push_back(c);
    return calls;
  }

  TView View;
  TgraAttribute Attributes;
  TJwwGaibu Model;
  TFixedClock Clock{{2008, 5, 3, 9, 4, 5}};
  TFakeEscKey Keys;
  TGra Gra{View, Attributes, Model, Clock, Keys};
  TRecordingCanvas Canvas;
};

}  // namespace pikrotta::test
