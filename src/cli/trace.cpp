#include "trace.h"

#include <charconv>
#include <cstdio>

#include "gra.h"
#include "image_ref.h"
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

void TraceDrawing(const TJwwGaibu& model, const TTraceOptions& options, const TClockLocale& clock,
                  std::ostream& out) {
  TView view;
  view.FitToWindow(model, options.Width, options.Height);
  const TgraAttribute attributes;
  const TNoEscKey keys;
  TGra gra(view, attributes, model, clock, keys);
  if (options.Search) gra.SearchPrefix = std::string(kImageRefPrefix);
  out << ViewLine(view);
  TTraceCanvas canvas(out);
  gra.DrawAllEntities(canvas);
  gra.MarkImageRefs(canvas, 10 / view.ViewScale);
  if (options.Search) out << "ImageRefTextCount " << gra.ImageRefTextCount << "\n";
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

bool ParseDateTime(const std::string& text, TDateTime& t) {
  char tail = 0;
  const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.Year, &t.Month,
                                 &t.Day, &t.Hour, &t.Minute, &t.Second, &tail);
  return fields == 6 && t.Month >= 1 && t.Month <= 12 && t.Day >= 1 && t.Day <= 31 && t.Hour >= 0 &&
         t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59 && t.Second >= 0 && t.Second <= 59;
}

}  // namespace pikrotta
