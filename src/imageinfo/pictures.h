// Pictures decoded with stb_image, scaled with stb_image_resize and written as PNG with
// stb_image_write: what the report shows of the files a drawing links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pikrotta {

// Rows of pixels from the top, each pixel Channels bytes: 3 (RGB) or 4 (RGBA).
struct TPixels {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Channels = 4;
  std::vector<uint8_t> Bytes;
};

// The largest picture decoded, in pixels: a 4000 x 3000 photo has 12 million, a scan of an
// A1 sheet at 300 dpi 70 million.
constexpr int64_t kMaxDecodedPixels = 80'000'000;

struct TDecodedPicture {
  std::optional<TPixels> Pixels;  // RGBA
  std::string Reason;             // in English, when there are no pixels
};

// Decodes a BMP, JPEG, PNG or GIF (its first frame). Pictures larger than maxPixels are
// refused before any pixel is decoded.
TDecodedPicture DecodePicture(std::string_view bytes, int64_t maxPixels = kMaxDecodedPixels);

// The JPEG thumbnail a camera stores in a photo's Exif data, as its bytes; empty when there is
// none. It is found by the offsets of the Exif data, each checked against the bytes.
std::string_view ExifThumbnail(std::string_view jpeg);

// The picture (RGB or RGBA) scaled to width x height; one without a transparent pixel comes
// out RGB.
TPixels ScaledTo(const TPixels& picture, int32_t width, int32_t height);

struct TPixelSize {
  int32_t Width = 0;
  int32_t Height = 0;
};
// The same at each size, the large picture's pixels gone through once for all of them.
std::vector<TPixels> ScaledToEach(const TPixels& picture, const std::vector<TPixelSize>& sizes);

// The pixel size that fits within maxSide on both axes with the picture's aspect, at least 1.
TPixelSize FitWithin(int32_t width, int32_t height, int32_t maxSide);

// The picture as a PNG file; empty when it could not be written.
std::string PngBytes(const TPixels& picture);
// The picture as a baseline JPEG file of quality 1 to 100, as the tests and benchmarks make
// their photos; empty when it could not be written.
std::string JpegBytes(const TPixels& picture, int32_t quality);

}  // namespace pikrotta
