#include "pictures.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <utility>

#include "stb_header_reader.h"

extern "C" {
unsigned char* PikrottaStbLoad(const unsigned char* bytes, int size, int* width, int* height,
                               int* components, int wanted);
void PikrottaStbFree(void* pixels);
int PikrottaStbResize(const unsigned char* in, int inWidth, int inHeight, unsigned char* out,
                      int outWidth, int outHeight, int channels);
int PikrottaStbWritePng(const unsigned char* pixels, int width, int height, int channels,
                        void (*write)(void*, void*, int), void* context);
int PikrottaStbWriteJpg(const unsigned char* pixels, int width, int height, int channels,
                        int quality, void (*write)(void*, void*, int), void* context);
}

namespace pikrotta {

namespace {

uint8_t Byte(std::string_view b, size_t at) {
  return static_cast<uint8_t>(b[at]);
}

uint32_t BigEndian16(std::string_view b, size_t at) {
  return static_cast<uint32_t>(Byte(b, at)) << 8 | Byte(b, at + 1);
}

// The Exif data of a JPEG, from its APP1 segment before the first scan; empty when none.
std::string_view ExifData(std::string_view b) {
  size_t at = 2;
  while (at + 4 <= b.size() && Byte(b, at) == 0xFF) {
    const uint8_t marker = Byte(b, at + 1);
    if (marker == 0xDA || marker == 0xD9) break;
    const size_t length = BigEndian16(b, at + 2);
    if (length < 2 || at + 2 + length > b.size()) break;
    const std::string_view body = b.substr(at + 4, length - 2);
    if (marker == 0xE1 && body.starts_with(std::string_view("Exif\0\0", 6))) return body.substr(6);
    at += 2 + length;
  }
  return {};
}

// Reads the TIFF structure of Exif data in its byte order, every offset checked.
class TTiffReader {
 public:
  explicit TTiffReader(std::string_view tiff) : Tiff(tiff), Little(tiff.starts_with("II")) {}
  bool Valid() const { return Tiff.size() >= 8 && (Little || Tiff.starts_with("MM")); }

  std::optional<uint32_t> U16(size_t at) const {
    if (at > Tiff.size() || Tiff.size() - at < 2) return std::nullopt;
    return Little ? Byte(Tiff, at) | Byte(Tiff, at + 1) << 8 : BigEndian16(Tiff, at);
  }
  std::optional<uint32_t> U32(size_t at) const {
    const auto high = U16(at + (Little ? 2 : 0)), low = U16(at + (Little ? 0 : 2));
    if (!high || !low || at > SIZE_MAX - 4) return std::nullopt;
    return *high << 16 | *low;
  }
  // The offset of the image file directory after the one at ifd, 0 when none.
  std::optional<uint32_t> NextIfd(uint32_t ifd) const {
    const auto count = U16(ifd);
    if (!count) return std::nullopt;
    return U32(size_t{ifd} + 2 + size_t{*count} * 12);
  }
  // The value of a LONG or SHORT tag of the directory at ifd.
  std::optional<uint32_t> Tag(uint32_t ifd, uint32_t tag) const {
    const auto count = U16(ifd);
    for (uint32_t i = 0; count && i < *count; ++i) {
      const size_t entry = size_t{ifd} + 2 + size_t{i} * 12;
      if (U16(entry) != tag) continue;
      const auto type = U16(entry + 2);
      if (type == 4u) return U32(entry + 8);
      if (type == 3u) return U16(entry + 8);
      return std::nullopt;
    }
    return std::nullopt;
  }

 private:
  std::string_view Tiff;
  bool Little;
};

}  // namespace

std::string_view ExifThumbnail(std::string_view jpeg) {
  const std::string_view exif = ExifData(jpeg);
  const TTiffReader tiff(exif);
  if (!tiff.Valid()) return {};
  const auto first = tiff.U32(4);
  const auto second = first ? tiff.NextIfd(*first) : std::nullopt;
  if (!second || *second == 0) return {};
  const auto offset = tiff.Tag(*second, 0x0201), length = tiff.Tag(*second, 0x0202);
  if (!offset || !length || *offset > exif.size() || *length > exif.size() - *offset) return {};
  const std::string_view thumbnail = exif.substr(*offset, *length);
  return thumbnail.starts_with("\xFF\xD8\xFF") ? thumbnail : std::string_view();
}

TDecodedPicture DecodePicture(std::string_view bytes, int64_t maxPixels) {
  TDecodedPicture decoded;
  const std::optional<TImageHeader> header = TStbHeaderReader().ReadHeader(bytes);
  decoded.Reason = bytes.empty()              ? "it is empty"
                   : !header                  ? "it is not a picture of a known format"
                   : header->Format == "TIFF" ? "TIFF pictures are not decoded"
                   : header->Width == 0       ? "its header cannot be read"
                                              : "";
  if (!decoded.Reason.empty()) return decoded;
  if (int64_t{header->Width} * header->Height > maxPixels) {
    decoded.Reason = "too large to decode (" + std::to_string(header->Width) + " x " +
                     std::to_string(header->Height) + " pixels)";
    return decoded;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const int size = static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX));
  // RGBA for every picture: stb's SIMD colour conversion of a JPEG writes four channels only,
  // and three took a photo half as long again.
  const int channels = 4;
  int width = 0, height = 0, found = 0;
  const std::unique_ptr<unsigned char, void (*)(void*)> pixels(
      PikrottaStbLoad(data, size, &width, &height, &found, channels), PikrottaStbFree);
  if (!pixels || width <= 0 || height <= 0 ||
      int64_t{width} * height > maxPixels) {  // the header told another size
    decoded.Reason = "it cannot be decoded";
    return decoded;
  }
  TPixels& out = decoded.Pixels.emplace();
  out.Width = width;
  out.Height = height;
  out.Channels = channels;
  out.Bytes.assign(pixels.get(), pixels.get() + static_cast<size_t>(channels) *
                                                    static_cast<size_t>(width) *
                                                    static_cast<size_t>(height));
  return decoded;
}

TPixelSize FitWithin(int32_t width, int32_t height, int32_t maxSide) {
  if (width <= maxSide && height <= maxSide) return {std::max(width, 1), std::max(height, 1)};
  const double scale = static_cast<double>(maxSide) / std::max(width, height);
  return {std::clamp(static_cast<int32_t>(std::lround(width * scale)), 1, maxSide),
          std::clamp(static_cast<int32_t>(std::lround(height * scale)), 1, maxSide)};
}

namespace {

// The picture shrunk by a whole factor on both axes, each pixel the mean of its block with
// the colours weighted by their opacity. Much cheaper than the resampler on a large photo,
// which then has a few times the target's size left to filter.
template <size_t n>
TPixels ReducedOf(const TPixels& in, int32_t factor) {
  constexpr bool alpha = n == 4;
  TPixels out{in.Width / factor, in.Height / factor, in.Channels, {}};
  out.Bytes.resize(n * static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
  std::vector<uint64_t> sums(size_t{4} * static_cast<size_t>(out.Width));  // colours, opacity
  for (int32_t y = 0; y < out.Height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int32_t dy = 0; dy < factor; ++dy) {
      const uint8_t* row = in.Bytes.data() + n * static_cast<size_t>(in.Width) *
                                                 (static_cast<size_t>(y) * factor + dy);
      const uint8_t* p = row;
      for (uint64_t* s = sums.data(); s != sums.data() + sums.size(); s += 4) {
        for (int32_t k = 0; k < factor; ++k, p += n) {
          const uint64_t a = alpha ? p[3] : 255;
          s[0] += p[0] * a;
          s[1] += p[1] * a;
          s[2] += p[2] * a;
          s[3] += a;
        }
      }
    }
    uint8_t* row = out.Bytes.data() + n * static_cast<size_t>(out.Width) * static_cast<size_t>(y);
    const uint64_t pixels = uint64_t(factor) * factor;
    for (int32_t x = 0; x < out.Width; ++x) {
      const uint64_t* s = sums.data() + size_t{4} * static_cast<size_t>(x);
      uint8_t* p = row + n * static_cast<size_t>(x);
      for (size_t c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(s[3] ? (s[c] + s[3] / 2) / s[3] : 0);
      if (alpha) p[3] = static_cast<uint8_t>((s[3] + pixels / 2) / pixels);
    }
  }
  return out;
}

TPixels Reduced(const TPixels& in, int32_t factor) {
  return in.Channels == 4 ? ReducedOf<4>(in, factor) : ReducedOf<3>(in, factor);
}

}  // namespace

std::vector<TPixels> ScaledToEach(const TPixels& picture, const std::vector<TPixelSize>& sizes) {
  const auto n = static_cast<size_t>(picture.Channels);
  // One block reduction serves every size: it leaves at least twice the largest.
  int32_t largestWidth = 1, largestHeight = 1;
  for (const TPixelSize size : sizes) {
    largestWidth = std::max(largestWidth, size.Width);
    largestHeight = std::max(largestHeight, size.Height);
  }
  const int32_t factor =
      std::min(picture.Width / (2 * largestWidth), picture.Height / (2 * largestHeight));
  TPixels reduced;
  const TPixels& source = factor >= 2 ? (reduced = Reduced(picture, factor)) : picture;
  std::vector<TPixels> scaled;
  for (const auto [width, height] : sizes) {
    TPixels& out = scaled.emplace_back();
    out.Width = width;
    out.Height = height;
    out.Channels = picture.Channels;
    if (source.Width == width && source.Height == height) {
      out.Bytes = source.Bytes;
    } else {
      out.Bytes.resize(n * static_cast<size_t>(width) * static_cast<size_t>(height));
      PikrottaStbResize(source.Bytes.data(), source.Width, source.Height, out.Bytes.data(), width,
                        height, picture.Channels);
    }
    bool opaque = n == 4;
    for (size_t i = 3; i < out.Bytes.size() && opaque; i += 4) opaque = out.Bytes[i] == 255;
    if (opaque) {
      for (size_t i = 0, count = static_cast<size_t>(width) * height; i < count; ++i)
        std::copy_n(out.Bytes.begin() + 4 * i, 3, out.Bytes.begin() + 3 * i);
      out.Bytes.resize(size_t{3} * width * height);
      out.Channels = 3;
    }
  }
  return scaled;
}

TPixels ScaledTo(const TPixels& picture, int32_t width, int32_t height) {
  return std::move(ScaledToEach(picture, {{width, height}})[0]);
}

namespace {

void AppendTo(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<size_t>(size));
}

}  // namespace

std::string PngBytes(const TPixels& picture) {
  std::string png;
  if (!PikrottaStbWritePng(picture.Bytes.data(), picture.Width, picture.Height, picture.Channels,
                           AppendTo, &png))
    png.clear();
  return png;
}

std::string JpegBytes(const TPixels& picture, int32_t quality) {
  std::string jpeg;
  if (!PikrottaStbWriteJpg(picture.Bytes.data(), picture.Width, picture.Height, picture.Channels,
                           quality, AppendTo, &jpeg))
    jpeg.clear();
  return jpeg;
}

}  // namespace pikrotta
