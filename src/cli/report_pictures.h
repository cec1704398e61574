// What the report shows of the picture files a drawing links: a thumbnail beside each row and,
// when asked, each picture at the size of its frames. Files are read through the host and
// decoded with stb on a few workers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host_services.h"
#include "pictures.h"

namespace pikrotta {

constexpr int32_t kThumbnailSide = 160;
// The longest side of a picture drawn into its frame.
constexpr int32_t kFramePictureSide = 1024;
// A picture file longer than this is not read: no picture a drawing links is.
constexpr int64_t kMaxPictureFileBytes = 512LL << 20;

struct TPictureRequest {
  std::string Path;                    // as the search found it
  std::vector<TPixelSize> FrameSizes;  // in pixels of the report's picture
};

struct TReportPicture {
  std::string Thumbnail;  // a PNG, empty when there is none
  TPixelSize ThumbnailSize;
  std::string Reason;               // in English: why there is no thumbnail
  std::vector<std::string> Frames;  // a PNG for each frame size, empty where there is none
  TPixelSize Source;                // the pixel size the pictures were made from
};

std::vector<TReportPicture> MakeReportPictures(const std::vector<TPictureRequest>& requests,
                                               const THostServices& host);

// "data:image/png;base64,..." of a PNG file.
std::string PngDataAddress(std::string_view png);

}  // namespace pikrotta
