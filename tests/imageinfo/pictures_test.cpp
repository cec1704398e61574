// Pictures decoded, scaled and written with stb: what comes back of a written picture, what a
// damaged or huge one gives, and the thumbnail a camera stores in a photo's Exif data.
#include "pictures.h"
#include "picture_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pikrotta {
namespace {

std::string Be(uint32_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

using test::FilledPixels;
using test::WithExifThumbnail;

uint32_t Gradient(int x, int y) {
  return static_cast<uint32_t>((x * 9) << 24 | (y * 7) << 16 | 0x80FF);
}

TEST(Pictures, APngComesBackAsItWasWritten) {
  const TPixels written = FilledPixels(5, 3, 4, [](int x, int y) {
    return static_cast<uint32_t>(x * 40 << 24 | y * 80 << 16 | 0x1200 | (x == 2 ? 0 : 255));
  });
  const std::string png = PngBytes(written);
  ASSERT_FALSE(png.empty());
  const TDecodedPicture read = DecodePicture(png);
  ASSERT_TRUE(read.Pixels) << read.Reason;
  EXPECT_EQ(read.Pixels->Channels, 4);
  EXPECT_EQ(read.Pixels->Width, 5);
  EXPECT_EQ(read.Pixels->Height, 3);
  EXPECT_EQ(read.Pixels->Bytes, written.Bytes);
}

TEST(Pictures, AJpegComesBackNearlyAsItWasWritten) {
  const TPixels written = FilledPixels(32, 16, 3, Gradient);
  const TDecodedPicture read = DecodePicture(JpegBytes(written, 95));
  ASSERT_TRUE(read.Pixels) << read.Reason;
  ASSERT_EQ(read.Pixels->Width, 32);
  ASSERT_EQ(read.Pixels->Height, 16);
  ASSERT_EQ(read.Pixels->Channels, 4);
  for (size_t i = 0; i < size_t{32} * 16; ++i)
    for (size_t c = 0; c < 3; ++c)
      EXPECT_NEAR(read.Pixels->Bytes[4 * i + c], written.Bytes[3 * i + c], 12) << i;
}

TEST(Pictures, WhatIsNotDecodedSaysWhy) {
  // The frame header of a JPEG of 16 x 8 pixels, and a table of 300 codes, more than the
  // 256 a table has room for: this Debian's stb wrote past its table.
  std::string frame =
      std::string("\xFF\xD8\xFF\xC0", 4) + Be(17, 2) + "\x08" + Be(8, 2) + Be(16, 2) + "\x03";
  for (char id : {'\x01', '\x02', '\x03'}) frame += std::string{id, '\x11', '\x00'};
  std::string counts(16, '\0');
  counts[7] = static_cast<char>(150);
  counts[8] = static_cast<char>(150);
  const std::string table =
      std::string("\xFF\xC4", 2) + Be(2 + 17 + 300, 2) + '\x10' + counts + std::string(300, '\x01');
  const std::string png = PngBytes(FilledPixels(40, 30, 3, Gradient));
  // A PNG header that claims 9000 x 9000 pixels.
  std::string huge = png;
  huge.replace(16, 8, Be(9000, 4) + Be(9000, 4));
  const struct {
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"", "it is empty"},
      {png.substr(0, 20), "its header cannot be read"},
      {"plain text, named .bmp", "it is not a picture of a known format"},
      {std::string("II*\0\x08\0\0\0", 8), "TIFF pictures are not decoded"},
      {frame + table + std::string(400, '\0'), "it cannot be decoded"},
      {huge, "too large to decode (9000 x 9000 pixels)"},
      {png.substr(0, png.size() / 2), "it cannot be decoded"},
  };
  for (const auto& c : cases) {
    const TDecodedPicture decoded = DecodePicture(c.bytes);
    EXPECT_FALSE(decoded.Pixels) << c.reason;
    EXPECT_EQ(decoded.Reason, c.reason);
  }
}

TEST(Pictures, ScalingKeepsWhereColoursAreAndWeighsThemByOpacity) {
  // Left half red, right half blue: the halves stay where they were through both the block
  // means and the resampler.
  const TPixels halves =
      FilledPixels(400, 200, 4, [](int x, int) { return x < 200 ? 0xFF0000FFu : 0x0000FFFFu; });
  TPixels two = ScaledTo(halves, 2, 1);
  // The same of RGB pixels.
  const TPixels rgb =
      FilledPixels(400, 200, 3, [](int x, int) { return x < 200 ? 0xFF0000FFu : 0x0000FFFFu; });
  EXPECT_EQ(ScaledTo(rgb, 2, 1).Bytes, two.Bytes);
  // Several sizes at once share one block reduction: each is what one size alone gives, up
  // to that reduction's rounding.
  const std::vector<TPixelSize> sizes = {{2, 1}, {40, 20}, {400, 200}};
  const std::vector<TPixels> each = ScaledToEach(halves, sizes);
  ASSERT_EQ(each.size(), 3u);
  for (size_t k = 0; k < sizes.size(); ++k) {
    const TPixels alone = ScaledTo(halves, sizes[k].Width, sizes[k].Height);
    ASSERT_EQ(each[k].Bytes.size(), alone.Bytes.size());
    for (size_t i = 0; i < alone.Bytes.size(); ++i)
      ASSERT_NEAR(each[k].Bytes[i], alone.Bytes[i], 8) << k << " " << i;
  }
  EXPECT_EQ(two.Channels, 3);  // nothing transparent: RGB
  ASSERT_EQ(two.Bytes.size(), 6u);
  EXPECT_GT(two.Bytes[0], 200);  // the resampler's filter reaches a little over the edge
  EXPECT_LT(two.Bytes[2], 55);
  EXPECT_LT(two.Bytes[3], 55);
  EXPECT_GT(two.Bytes[5], 200);
  // White pixels beside transparent black ones: the colour is white, half opaque.
  const TPixels mixed =
      FilledPixels(8, 4, 4, [](int x, int) { return x % 2 ? 0xFFFFFFFFu : 0x00000000u; });
  const TPixels half = ScaledTo(mixed, 2, 1);
  ASSERT_EQ(half.Channels, 4);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(half.Bytes[4 * i], 255);
    EXPECT_NEAR(half.Bytes[4 * i + 3], 128, 1);
  }
}

TEST(Pictures, FitWithinKeepsTheAspectAndNeverGrows) {
  const struct {
    int32_t width, height, side, fitWidth, fitHeight;
  } cases[] = {
      {4000, 3000, 160, 160, 120}, {3000, 4000, 160, 120, 160}, {60, 40, 160, 60, 40},
      {10000, 1, 160, 160, 1},     {0, 0, 160, 1, 1},           {1600, 1600, 1024, 1024, 1024},
  };
  for (const auto& c : cases) {
    const TPixelSize fit = FitWithin(c.width, c.height, c.side);
    EXPECT_EQ(fit.Width, c.fitWidth) << c.width << "x" << c.height;
    EXPECT_EQ(fit.Height, c.fitHeight) << c.width << "x" << c.height;
  }
}

TEST(Pictures, TheExifThumbnailIsFoundInEitherByteOrderAndOnlyWithinTheData) {
  const std::string photo = JpegBytes(FilledPixels(64, 48, 3, Gradient), 80);
  const std::string thumbnail = JpegBytes(FilledPixels(16, 12, 3, Gradient), 80);
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, true)), thumbnail);
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, false)), thumbnail);
  const TDecodedPicture small =
      DecodePicture(ExifThumbnail(WithExifThumbnail(photo, thumbnail, true)));
  ASSERT_TRUE(small.Pixels);
  EXPECT_EQ(small.Pixels->Width, 16);
  // Offsets or lengths past the Exif data, or at bytes that are no JPEG, give none.
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, true, 0, 1)), "");
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, true, 0xFFFFFFF0u)), "");
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, true, 1, 0xFFFFFFFFu)), "");
  EXPECT_EQ(ExifThumbnail(WithExifThumbnail(photo, thumbnail, false, 2, 0)), "");
  EXPECT_EQ(ExifThumbnail(photo), "");
  // The whole photo still decodes with its Exif segment in it.
  const TDecodedPicture whole = DecodePicture(WithExifThumbnail(photo, thumbnail, true));
  ASSERT_TRUE(whole.Pixels) << whole.Reason;
  EXPECT_EQ(whole.Pixels->Width, 64);
  // Cut anywhere, the search for a thumbnail stays within the bytes.
  const std::string full = WithExifThumbnail(photo, thumbnail, false);
  for (size_t cut = 0; cut < 200; ++cut) EXPECT_EQ(ExifThumbnail(full.substr(0, cut)), "");
}

}  // namespace
}  // namespace pikrotta
