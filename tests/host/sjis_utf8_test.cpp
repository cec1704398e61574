#include "sjis_utf8.h"

#include <gtest/gtest.h>

#include <set>

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
  // Kanji of the first level, thousands of them, so that characters converted lately are
  // forgotten and others share their places: each still converts into a character of its own.
  std::string kanji;
  for (int lead = 0x89; lead <= 0x97; ++lead)
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) {
        kanji += static_cast<char>(lead);
        kanji += static_cast<char>(trail);
      }
  const std::string utf8 = SjisToUtf8(kanji);
  ASSERT_EQ(utf8.size(), kanji.size() / 2 * 3);
  std::set<std::string> distinct;
  for (size_t i = 0; i < utf8.size(); i += 3) distinct.insert(utf8.substr(i, 3));
  EXPECT_EQ(distinct.size(), kanji.size() / 2);
  EXPECT_EQ(distinct.count("\xEF\xBF\xBD"), 0u);
  EXPECT_EQ(utf8.substr(0, 3), "院");  // 0x8940
  for (const auto& c : cases) EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8) << c.sjis;
}

}  // namespace
}  // namespace pikrotta
