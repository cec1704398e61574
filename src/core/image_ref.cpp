#include "image_ref.h"

#include "my_func.h"

namespace pikrotta {

namespace {

// Byte position of the next "," at or after from, walking whole characters; npos if none.
size_t FindComma(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i += IsLeadByte(s[i]) ? 2 : 1)
    if (s[i] == ',') return i;
  return std::string_view::npos;
}

}  // namespace

std::string_view ImageRefPath(std::string_view text) {
  if (!text.starts_with(kImageRefPrefix)) return {};
  const std::string_view rest = text.substr(kImageRefPrefix.size());
  return rest.substr(0, FindComma(rest, 0));
}

TImageRef ParseImageRef(std::string_view text) {
  TImageRef ref;
  if (!text.starts_with(kImageRefPrefix)) return ref;
  const std::string_view rest = text.substr(kImageRefPrefix.size());
  ref.ImagePath = std::string(ImageRefPath(text));
  const size_t first = ref.ImagePath.size();
  if (first == rest.size()) return ref;  // no comma: no placement
  ref.IsImageRef = true;
  const size_t second = FindComma(rest, first + 1);
  ref.ImageWidth = StrToFloatDef0(rest.substr(first + 1, second - first - 1));
  if (second == std::string_view::npos) {
    ref.ImageHeight = ref.ImageWidth;
  } else {
    const size_t third = FindComma(rest, second + 1);
    ref.ImageHeight = StrToFloatDef0(rest.substr(second + 1, third - second - 1));
  }
  return ref;
}

}  // namespace pikrotta
