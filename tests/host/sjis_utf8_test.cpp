#include "sjis_utf8.h"

#include <gtest/gtest.h>

namespace pikrotta {
namespace {

TEST(SjisToUtf8, ConvertsAndReplacesWhatDoesNotConvert) {
  const struct {
    std::string_view sjis;
    std::string_view utf8;
  } cases[] = {
      {"abc", "abc"},
      {"\x90\x7d\x96\xca", "図面"},
      {"\xb6\xc0", "ｶﾀ"},          // half-width katakana
      {"C:\\a\\b", "C:\\a\\b"},    // 0x5C stays a backslash
      {"a\x82", "a\xEF\xBF\xBD"},  // lone lead byte at the end
      {"\x80\x41z",
       "\xEF\xBF\xBD"
       "z"},  // 0x80 is a lead byte here but no character
      {"\xfe", "\xEF\xBF\xBD"},
      {"\x82\xA0\xfd\x40\x82\xA2", "あ\xEF\xBF\xBDい"},
      // A lead byte before a byte that cannot trail it: the byte after it is kept.
      {"\x82\"z", "\xEF\xBF\xBD\"z"},
      {"a\x90\r\n", "a\xEF\xBF\xBD\r\n"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8) << c.sjis;
}

}  // namespace
}  // namespace pikrotta
