// Picture headers read with stb_image.
#pragma once

#include "image_diagnosis.h"

namespace pikrotta {

// The format from the file's signature, the pixel size from stb_image's header reading. stb
// reads no TIFF: a TIFF gives its format and no size, as does a file whose signature is right
// but whose header cannot be read (a truncated picture).
class TStbHeaderReader : public TImageHeaderReader {
 public:
  std::optional<TImageHeader> ReadHeader(std::string_view firstBytes) const override;
};

}  // namespace pikrotta
