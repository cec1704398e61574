#include "trace.h"

#include <charconv>
#include <cstdio>

#include "gra.h"
#include "recording_canvas.h"
#include "view.h"

namespace pikrotta {

namespace {

std::string ViewLine(const TView& v) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                "View ViewScale=%.17g ViewLeft=%.17g ViewBottom=%.17g ViewRight=%.17g "
                "ViewTop=%.17g ViewWidth=%d ViewHeight=%d\n",
                v.ViewScale, v.ViewLeft, v.ViewBottom, v.ViewRight, v.ViewTop, v.ViewWidth,
                v.ViewHeight);
  return buffer;
}

}  // namespace

std::string TraceDrawing(const TJwwGaibu& model, int32_t width, int32_t height) {
  TView view;
  view.FitToWindow(model, width, height);
  const TgraAttribute attributes;
  TGra gra(view, attributes, model);
  TRecordingCanvas canvas;
  for (int32_t i = 0; i < model.JwwPointCount; ++i) gra.DrawPointEntity(canvas, model.JwwPoints[i]);
  for (int32_t i = 0; i < model.JwwPointExCount; ++i)
    gra.DrawPointExEntity(canvas, model.JwwPointExs[i]);
  return ViewLine(view) + canvas.Trace();
}

bool ParsePaintSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  auto parse = [](std::string_view s, int32_t& value) {
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && ptr == s.data() + s.size() && value >= 1 && value <= 100000;
  };
  const std::string_view all(text);
  return parse(all.substr(0, x), width) && parse(all.substr(x + 1), height);
}

}  // namespace pikrotta
