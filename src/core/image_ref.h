// Image references: texts "^@BM" + path + "," + width [+ "," + height [+ "," ...]].
#pragma once

#include <string>
#include <string_view>

namespace pikrotta {

constexpr std::string_view kImageRefPrefix = "^@BM";

struct TImageRef {
  // The text begins with the prefix and holds a ",": it has a placement rectangle.
  bool IsImageRef = false;
  // From the fifth byte up to the first "," (the whole rest when there is none).
  std::string ImagePath;
  double ImageWidth = 0;   // drawing units
  double ImageHeight = 0;  // equals the width when only one number is given
};

TImageRef ParseImageRef(std::string_view text);
// Only the path of ParseImageRef, without a copy.
std::string_view ImageRefPath(std::string_view text);

}  // namespace pikrotta
