// Draws arbitrary bytes as a text: the trailing marks, the codes, the "^" pass and the cells
// must never read outside the text or misbehave, whatever the size, anchor or direction.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gra.h"
#include "image_ref.h"
#include "null_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pikrotta;
  if (size < 4) return 0;
  TView view;
  view.ViewScale = 10;
  view.ViewWidth = view.ViewHeight = 200;
  view.CentreAt(0, 0);
  const TgraAttribute attributes;
  const TJwwGaibu model;
  const TFixedClock clock({2008, 5, 3, 9, 4, 5});
  const TNoEscKey keys;
  TGra gra(view, attributes, model, clock, keys);
  TNullCanvas canvas;

  TJwwEntText text;
  text.TextAnchor = data[0] % 10;
  text.TextKind = data[1] % 3;
  text.CharWidth = (static_cast<int8_t>(data[2]) % 8) * 0.75;
  text.CharHeight = (data[3] % 8) * 0.75 - 1;
  text.CharSpacing = (data[1] >> 4) * 0.25 - 1;
  text.Dx = 5 + data[2] % 11;
  text.Dy = static_cast<int8_t>(data[3]) / 16.0;
  text.Color = data[0] >> 4;
  text.FontName = data[1] & 0x80 ? "@@F" : "F";
  text.Text.assign(reinterpret_cast<const char*>(data) + 4, size - 4);
  gra.DrawingInfo.UserSubstitutions = {{"%%a", "^!x^"}};
  gra.DrawTextEntity(canvas, text);
  ParseImageRef(text.Text);
  return 0;
}
