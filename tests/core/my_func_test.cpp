#include "my_func.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>

namespace pikrotta {
namespace {

// Shift-JIS bytes of あ and い.
constexpr std::string_view kA = "\x82\xA0";
constexpr std::string_view kI = "\x82\xA2";

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (auto p : parts) s += p;
  return s;
}

TEST(IsLeadByte, RangesIncludeTheirEndsAndLeaveOutHalfWidthKatakana) {
  for (int b = 0; b < 256; ++b) {
    const bool expected = (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)), expected) << b;
  }
}

TEST(StrToIntDef0, WholeStringOrZero) {
  const struct {
    std::string_view text;
    int32_t value;
  } cases[] = {
      {"12", 12},
      {"$f", 15},
      {"$FF", 255},
      {"-$10", -16},
      {"+5", 5},
      {"  7", 7},
      {"-3", -3},
      {"1.5", 0},
      {"", 0},
      {"abc", 0},
      {"12a", 0},
      {"7 ", 0},
      {"$", 0},
      {"-", 0},
      {"$g", 0},
      {"0x10", 0},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", 0},
      {"99999999999999999999999", 0},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToIntDef0(c.text), c.value) << c.text;
}

TEST(StrToFloatDef0, WholeStringOrZero) {
  const struct {
    std::string_view text;
    double value;
  } cases[] = {
      {"1.5", 1.5},  {"-2e3", -2000.0},  {"1,5", 0.0}, {"", 0.0},     {".5", 0.5},
      {"5.", 5.0},   {"+2.25", 2.25},    {" 3", 3.0},  {"1E2", 100},  {"1e-2", 0.01},
      {".", 0.0},    {"-", 0.0},         {"1e", 0.0},  {"e5", 0.0},   {"inf", 0.0},
      {"nan", 0.0},  {"-infinity", 0.0}, {"+-1", 0.0}, {"0x10", 0.0}, {"1e400", 0.0},
      {"1.5 ", 0.0}, {"12abc", 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToFloatDef0(c.text), c.value) << c.text;
}

TEST(StrToFloatDef0, RoundsToNearestDouble) {
  EXPECT_EQ(StrToFloatDef0("0.1"), 0.1);
  EXPECT_EQ(StrToFloatDef0("123456.789"), 123456.789);
  EXPECT_EQ(StrToFloatDef0("-0.000001"), -0.000001);
}

TEST(RightStrMB, NeverTakesHalfACharacter) {
  const std::string s = Cat({"ab", kA});
  EXPECT_EQ(RightStrMB(s, 1), "");
  EXPECT_EQ(RightStrMB(s, 2), kA);
  EXPECT_EQ(RightStrMB(s, 3), Cat({"b", kA}));
  EXPECT_EQ(RightStrMB(s, -3), Cat({"b", kA}));
  EXPECT_EQ(RightStrMB(s, 99), s);
  EXPECT_EQ(RightStrMB(s, 0), "");
  EXPECT_EQ(RightStrMB("", 3), "");
  EXPECT_EQ(RightStrMB(Cat({kA, "x"}), 2), "x");  // the lead byte lies before the window
}

TEST(CopyMB, TakesWholeCharactersWithinTheByteRange) {
  std::string part;
  int32_t taken = -1;
  CopyMB("abc", 2, 5, part, taken);
  EXPECT_EQ(part, "bc");
  EXPECT_EQ(taken, 2);
  CopyMB("abc", 0, 5, part, taken);
  EXPECT_EQ(part, "");
  EXPECT_EQ(taken, 0);
  CopyMB("abc", 4, 1, part, taken);
  EXPECT_EQ(part, "");
  CopyMB("abc", 1, 0, part, taken);
  EXPECT_EQ(part, "");

  const std::string s = Cat({kA, kI, "x"});  // bytes 1-2, 3-4, 5
  CopyMB(s, 2, 4, part, taken);              // starts on a trail byte
  EXPECT_EQ(part, Cat({kI, "x"}));
  EXPECT_EQ(taken, 3);
  CopyMB(s, 1, 3, part, taken);  // ends on a lead byte
  EXPECT_EQ(part, kA);
  CopyMB(s, 1, 5, part, taken);
  EXPECT_EQ(part, s);
  EXPECT_EQ(taken, 5);
}

TEST(LengthMB, CountsCharacters) {
  EXPECT_EQ(LengthMB(Cat({kA, kI, "x"})), 3);
  EXPECT_EQ(LengthMB(""), 0);
  EXPECT_EQ(LengthMB("\x82"), 1);  // lone lead byte at the end
  EXPECT_EQ(LengthMB("ab\x82"), 3);
}

TEST(CopyCharsMB, TakesCharactersByNumber) {
  const std::string s = Cat({kA, kI, "x"});
  std::string part;
  CopyCharsMB(s, 2, 5, part);
  EXPECT_EQ(part, Cat({kI, "x"}));
  CopyCharsMB(s, 1, 1, part);
  EXPECT_EQ(part, kA);
  CopyCharsMB(s, 4, 1, part);
  EXPECT_EQ(part, "");
  CopyCharsMB(s, 1, 0, part);
  EXPECT_EQ(part, "");
  CopyCharsMB("ab\x82", 3, 1, part);
  EXPECT_EQ(part, "\x82");
  // The result may be written over its own source.
  std::string same = Cat({kA, "xy"});
  CopyCharsMB(same, 1, 2, same);
  EXPECT_EQ(same, Cat({kA, "x"}));
  int32_t taken = 0;
  CopyMB(same, 2, 5, same, taken);
  EXPECT_EQ(same, "x");
}

TEST(RoundHalfAway, HalvesGoAwayFromZeroAndExtremesSaturate) {
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfAway(2.49), 2);
  EXPECT_EQ(RoundHalfAway(-0.4), 0);
  EXPECT_EQ(RoundHalfAway(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfAway(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
}

TEST(DirectionAngle, CoversTheCircleFromZero) {
  EXPECT_DOUBLE_EQ(DirectionAngle(0, -1), 3 * std::numbers::pi / 2);
  EXPECT_EQ(DirectionAngle(0, 0), 0.0);
  EXPECT_EQ(DirectionAngle(5e-11, -5e-11), 0.0);
  EXPECT_DOUBLE_EQ(DirectionAngle(-1, 0), std::numbers::pi);
  EXPECT_DOUBLE_EQ(DirectionAngle(1, 1), std::numbers::pi / 4);
}

TEST(Rotate, TurnsAboutTheCentre) {
  const double a = std::numbers::pi / 2;
  EXPECT_NEAR(RotateX(2, 1, 1, 1, a), 1, 1e-12);
  EXPECT_NEAR(RotateY(2, 1, 1, 1, a), 2, 1e-12);
}

TEST(LineIntersection, CodesAndPoints) {
  double px = 0, py = 0;
  EXPECT_EQ(LineIntersection(0, 0, 2, 2, 0, 2, 2, 0, px, py), 1);
  EXPECT_DOUBLE_EQ(px, 1);
  EXPECT_DOUBLE_EQ(py, 1);
  EXPECT_EQ(LineIntersection(0, 0, 1, 1, 3, 0, 4, -1, px, py), 2);  // meet beyond both segments
  EXPECT_DOUBLE_EQ(px, 1.5);
  EXPECT_DOUBLE_EQ(py, 1.5);
  EXPECT_EQ(LineIntersection(0, 0, 1, 1, 0, 1, 1, 2, px, py), 0);   // parallel
  EXPECT_EQ(LineIntersection(1, 0, 1, 5, 2, 0, 2, 5, px, py), 0);   // both vertical
  EXPECT_EQ(LineIntersection(1, -1, 1, 5, 0, 0, 4, 4, px, py), 1);  // first vertical
  EXPECT_DOUBLE_EQ(px, 1);
  EXPECT_DOUBLE_EQ(py, 1);
  EXPECT_EQ(LineIntersection(0, 0, 4, 4, 3, -9, 3, -8, px, py), 2);  // second vertical
  EXPECT_DOUBLE_EQ(py, 3);
  // The zero band is lopsided: -1.5e-8 < d < 0.5e-8.
  EXPECT_EQ(LineIntersection(1, 0, 1 + 1e-8, 5, 2, 0, 2, 5, px, py), 0);
  EXPECT_NE(LineIntersection(1, 0, 1 - 1e-8, 5, 2, 0, 2, 5, px, py), 0);
}

TEST(EstimateTextWidth, SpacingOnlyBetweenCharacters) {
  EXPECT_DOUBLE_EQ(EstimateTextWidth("ab", 4, 1), 4.5);
  EXPECT_DOUBLE_EQ(EstimateTextWidth(kA, 4, 1), 4);
  EXPECT_DOUBLE_EQ(EstimateTextWidth(Cat({kA, "a"}), 4, 1), 4 + 1 + 2);
  EXPECT_DOUBLE_EQ(EstimateTextWidth("a\tb", 4, 1), 2 + 0.5 + 0 + 0.5 + 2);
  EXPECT_DOUBLE_EQ(EstimateTextWidth("", 4, 1), 0);
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

// The short-decimal shortcut must round exactly as the full conversion does.
TEST(StrToFloatDef0, AgreesWithTheCLibraryOnManyDecimals) {
  std::mt19937_64 random(2024);
  for (int i = 0; i < 200000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 18);
    const int point = (random() % 4) ? static_cast<int>(random() % (digits + 1)) : -1;
    std::string s = (random() & 1) ? "-" : "";
    for (int d = 0; d < digits; ++d) {
      if (d == digits - point) s += '.';
      s += static_cast<char>('0' + random() % 10);
    }
    if (point == 0) s += '.';
    ASSERT_EQ(StrToFloatDef0(s), std::strtod(s.c_str(), nullptr)) << s;
  }
}

// Shapes at the edges of the short-decimal shortcut: how many digits stand before and after
// the point, the length, and what may follow the digits.
TEST(StrToFloatDef0, ReadsEveryShapeAtTheShortcutsBoundsAsTheCLibraryDoes) {
  const char* valid[] = {"1234567.12345678",
                         "12345678.1234567",
                         "1234567.123456789",
                         "0.12345678",
                         "0.123456789",
                         "9999999.99999999",
                         "12.",
                         ".5",
                         "7",
                         "1234567",
                         "12345678",
                         "123456789012345",
                         "1234567890123456",
                         "000000000000001.5",
                         "-0.0001",
                         "+3.25",
                         "00000000",
                         ".00000001",
                         "1e5",
                         "123456789012345.",
                         "12345678.12345678",
                         "1.234567890123456"};
  for (const char* text : valid)
    EXPECT_EQ(StrToFloatDef0(text), std::strtod(text, nullptr)) << text;
  const std::string invalid[] = {
      ".",   "1.2.3", "1e5x",       "12a", "1234567.1234567x", std::string("12\0", 3), "\x82\x4F",
      "--1", "1 ",    "1234567.-1", "0x10"};
  for (const std::string& text : invalid) EXPECT_EQ(StrToFloatDef0(text), 0.0) << text;
}

}  // namespace
}  // namespace pikrotta
