// A view of 10 pixels per mm over (-50, -50)..(50, 50) in a 1000 x 1000 paint area, with a
// recording canvas: pixel x = (x + 50) * 10, pixel y = 1000 - (y + 50) * 10.
#pragma once

#include <gtest/gtest.h>

#include "fake_esc_key.h"
#include "gra.h"
#include "recording_canvas.h"

namespace pikrotta::test {

// A drawing as the tests draw it: the model, a view, the pen table, a fixed clock, an Esc key
// that a test can hold, the drawer, and a canvas that records what is drawn.
struct TDrawing {
  TView View;
  TgraAttribute Attributes;
  TJwwGaibu Model;
  TFixedClock Clock{{2008, 5, 3, 9, 4, 5}};
  TFakeEscKey Keys;
  TGra Gra{View, Attributes, Model, Clock, Keys};
  TRecordingCanvas Canvas;
};

class GraTest : public ::testing::Test, protected TDrawing {
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
};

}  // namespace pikrotta::test
