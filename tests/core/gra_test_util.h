// A view of 10 pixels per mm over (-50, -50)..(50, 50) in a 1000 x 1000 paint area, with a
// recording canvas: pixel x = (x + 50) * 10, pixel y = 1000 - (y + 50) * 10.
#pragma once

#include <gtest/gtest.h>

#include "gra.h"
#include "recording_canvas.h"

namespace pikrotta::test {

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
  TGra Gra{View, Attributes, Model};
  TRecordingCanvas Canvas;
};

}  // namespace pikrotta::test
