#include "stb_header_reader.h"

#include <algorithm>
#include <climits>
#include <string>

extern "C" int PikrottaStbInfo(const unsigned char* bytes, int size, int* width, int* height);

namespace pikrotta {

namespace {

const char* FormatOf(std::string_view b) {
  if (b.starts_with("BM")) return "BMP";
  if (b.starts_with("\xFF\xD8\xFF")) return "JPEG";
  if (b.starts_with("\x89PNG\r\n\x1A\n")) return "PNG";
  if (b.starts_with("GIF87a") || b.starts_with("GIF89a")) return "GIF";
  if (b.starts_with(std::string_view("II*\0", 4)) || b.starts_with(std::string_view("MM\0*", 4)))
    return "TIFF";
  return nullptr;
}

// A JPEG's start and its frame header only. stb reads every segment before the frame header,
// tables and all; handed this, it reads none but the one it needs, whatever the others hold.
// Each segment says its length, so finding the frame header takes no decoding; "" when the
// bytes hold none.
std::string JpegFrameHeader(std::string_view b) {
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (static_cast<unsigned char>(b[at]) != 0xFF) return {};
    const auto marker = static_cast<unsigned char>(b[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const size_t length = static_cast<size_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
                          static_cast<unsigned char>(b[at + 3]);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return std::string("\xFF\xD8", 2) + std::string(b.substr(at, 2 + length));
    if (marker == 0xD9 || marker == 0xDA || length < 2) return {};  // the image ends or starts
    at += 2 + length;
  }
  return {};
}

}  // namespace

std::optional<TImageHeader> TStbHeaderReader::ReadHeader(std::string_view firstBytes) const {
  const char* format = FormatOf(firstBytes);
  if (!format) return std::nullopt;
  TImageHeader header{format};
  int width = 0, height = 0;
  std::string frame;
  if (header.Format == "JPEG") firstBytes = frame = JpegFrameHeader(firstBytes);
  const int size = static_cast<int>(std::min<size_t>(firstBytes.size(), INT_MAX));
  if (header.Format != "TIFF" &&
      PikrottaStbInfo(reinterpret_cast<const unsigned char*>(firstBytes.data()), size, &width,
                      &height)) {
    // stb gives a BMP whose rows run from the top its negative height, as the file has it.
    if (header.Format == "BMP" && height < 0 && height != INT_MIN) height = -height;
  }
  if (width > 0 && height > 0) {
    header.Width = width;
    header.Height = height;
  }
  return header;
}

}  // namespace pikrotta
