#include "image_ref.h"

#include <gtest/gtest.h>

namespace pikrotta {
namespace {

TEST(ParseImageRef, Formats) {
  const struct {
    std::string_view text;
    bool isRef;
    std::string_view path;
    double width, height;
  } cases[] = {
      {"^@BMa.bmp,50", true, "a.bmp", 50, 50},
      {"^@BMa.bmp,50,30", true, "a.bmp", 50, 30},
      {"^@BMa.bmp,50,30,0,0,1", true, "a.bmp", 50, 30},
      {"^@BMa.bmp", false, "a.bmp", 0, 0},
      {"^@BMa.bmp,abc", true, "a.bmp", 0, 0},
      {"^@BMa.bmp,50,-30", true, "a.bmp", 50, -30},
      {"^@BMa,b.bmp,50", true, "a", 0, 50},  // a comma in the path ends it
      {"^@BM,20,20", true, "", 20, 20},
      {"^@BM", false, "", 0, 0},
      {"^@bma.bmp,50", false, "", 0, 0},  // the prefix is case-sensitive
      {"x^@BMa.bmp,50", false, "", 0, 0},
      {"^@BM\x90\x2c.bmp,5", true, "\x90\x2c.bmp", 5, 5},  // a trail byte 0x2C is no comma
  };
  for (const auto& c : cases) {
    const TImageRef ref = ParseImageRef(c.text);
    EXPECT_EQ(ref.IsImageRef, c.isRef) << c.text;
    EXPECT_EQ(ref.ImagePath, c.path) << c.text;
    EXPECT_EQ(ref.ImageWidth, c.width) << c.text;
    EXPECT_EQ(ref.ImageHeight, c.height) << c.text;
    EXPECT_EQ(ImageRefPath(c.text), c.path) << c.text;
  }
}

}  // namespace
}  // namespace pikrotta
