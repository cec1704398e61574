// Picture headers written here byte by byte and read with stb_image: each format's size, and
// what a truncated or nonsensical header gives.
#include "stb_header_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pikrotta {
namespace {

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
std::string Be(uint32_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string Bmp(int32_t w, int32_t h) {
  std::string info = Le(40, 4) + Le(static_cast<uint32_t>(w), 4) + Le(static_cast<uint32_t>(h), 4) +
                     Le(1, 2) + Le(24, 2) + Le(0, 4) + Le(0, 4) + Le(2835, 4) + Le(2835, 4) +
                     Le(0, 4) + Le(0, 4);
  return "BM" + Le(54 + 16, 4) + Le(0, 4) + Le(54, 4) + info + std::string(16, '\0');
}
std::string Png(uint32_t w, uint32_t h) {
  return std::string("\x89PNG\r\n\x1A\n", 8) + Be(13, 4) + "IHDR" + Be(w, 4) + Be(h, 4) +
         std::string("\x08\x02\x00\x00\x00", 5) + Be(0, 4);
}
std::string Gif(uint32_t w, uint32_t h) {
  return "GIF89a" + Le(w, 2) + Le(h, 2) + std::string("\x00\x00\x00", 3);
}
std::string Jpeg(uint32_t w, uint32_t h) {
  std::string sof = std::string("\xFF\xC0", 2) + Be(17, 2) + "\x08" + Be(h, 2) + Be(w, 2) + "\x03";
  for (char id : {'\x01', '\x02', '\x03'}) sof += std::string{id, '\x11', '\x00'};
  return std::string("\xFF\xD8", 2) + sof;
}

TEST(StbHeaderReader, FormatsAndSizes) {
  const TStbHeaderReader reader;
  const struct {
    std::string bytes;
    const char* format;
    int32_t width, height;
  } cases[] = {
      {Bmp(640, 480), "BMP", 640, 480},
      {Bmp(640, -480), "BMP", 640, 480},  // rows from the top
      {Png(4000, 3000), "PNG", 4000, 3000},
      {Gif(120, 80), "GIF", 120, 80},
      {Jpeg(1920, 1080), "JPEG", 1920, 1080},
      {std::string("II*\0\x08\0\0\0", 8), "TIFF", 0, 0},  // a format stb does not read
      {std::string("MM\0*", 4), "TIFF", 0, 0},
      {Png(4000, 3000).substr(0, 12), "PNG", 0, 0},  // cut off within its header
      {Jpeg(0, 1080), "JPEG", 0, 0},                 // no width
      {Jpeg(1920, 1080).substr(0, 9), "JPEG", 0, 0},
  };
  for (const auto& c : cases) {
    const std::optional<TImageHeader> header = reader.ReadHeader(c.bytes);
    ASSERT_TRUE(header) << c.format << " " << c.width;
    EXPECT_EQ(header->Format, c.format);
    EXPECT_EQ(header->Width, c.width) << c.format;
    EXPECT_EQ(header->Height, c.height) << c.format;
  }
}

TEST(StbHeaderReader, NoPictureGivesNothing) {
  const TStbHeaderReader reader;
  for (const std::string& bytes : {std::string(), std::string("hello"), std::string("B"),
                                   std::string("\x89PNX", 4), std::string(1000, '\xFF')})
    EXPECT_FALSE(reader.ReadHeader(bytes)) << bytes;
}

// A Huffman table of more codes than it has room for, before the frame header: stb's own
// reading of it writes past the table (the sanitisers show it). The size still comes through.
TEST(StbHeaderReader, AJpegWithAnOverfullHuffmanTableIsReadWithoutHarm) {
  const std::string counts(16, '\x20');  // 512 codes for a table of 256
  const std::string table = std::string("\xFF\xC4", 2) + Be(2 + 1 + 16 + 512, 2) + '\x00' + counts +
                            std::string(512, '\x01');
  const std::string jpeg = Jpeg(1920, 1080);
  const std::optional<TImageHeader> header =
      TStbHeaderReader().ReadHeader(jpeg.substr(0, 2) + table + jpeg.substr(2));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->Width, 1920);
  EXPECT_EQ(header->Height, 1080);
}

TEST(StbHeaderReader, HugeDimensionsAreReadWithoutHarm) {
  const TStbHeaderReader reader;
  const std::optional<TImageHeader> header = reader.ReadHeader(Bmp(0x7FFFFFFF, 0x7FFFFFFF));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->Format, "BMP");
  EXPECT_GE(header->Width, 0);
}

}  // namespace
}  // namespace pikrotta
