#include "text_codes.h"

#include <gtest/gtest.h>

namespace pikrotta {
namespace {

std::string Sub(std::string_view code, TDateTime now = {2008, 5, 3, 9, 4, 5},
                TDrawingInfo info = {}) {
  const TFixedClock clock(now);
  const TSubstitution s = SubstituteTextCode(code, info, clock);
  EXPECT_TRUE(s.Substituted) << code;
  return s.Text;
}

TEST(SubstituteTextCode, WorkedExamplesOnSaturday3May2008) {
  const struct {
    std::string_view code, value;
  } cases[] = {
      {"$j", "2008/ 5/ 3"},
      {"%j", "2008/ 5/ 3"},
      {"%m", "05"},
      {"&d", " 3"},
      {"$y", "8"},
      {"&y", " 8"},
      {"%y", "08"},
      {"%H", "09"},
      {"$H", "9"},
      {"$h", "9"},
      {"$M", "4"},
      {"%M", "04"},
      {"&S", " 5"},
      {"%S", "05"},
      {"$ma", "MAY"},
      {"%ma", "MAY"},
      {"$wa", "SAT"},
      {"$n", "AM"},
      {"$N", "\x91\x4f"},
      {"$w", "\x93\x79"},
      {"%W", "\x93\x79"},
      {"$Y", "20"},
      {"&Y", "20"},
      {"$m", "5"},
      {"$J",
       "\x95\xbd\x90\xac"
       "20\x94\x4e 5\x8c\x8e 3\x93\xfa"},  // 平成20年 5月 3日
  };
  for (const auto& c : cases) EXPECT_EQ(Sub(c.code), c.value) << c.code;
}

TEST(SubstituteTextCode, TwelveHourClockCountsFromZero) {
  EXPECT_EQ(Sub("$h", {2008, 5, 3, 12, 30, 0}), "0");
  EXPECT_EQ(Sub("%h", {2008, 5, 3, 12, 30, 0}), "00");
  EXPECT_EQ(Sub("$h", {2008, 5, 3, 0, 30, 0}), "0");
  EXPECT_EQ(Sub("$h", {2008, 5, 3, 13, 0, 0}), "1");
  EXPECT_EQ(Sub("&h", {2008, 5, 3, 23, 0, 0}), "11");
  EXPECT_EQ(Sub("$n", {2008, 5, 3, 12, 0, 0}), "PM");
  EXPECT_EQ(Sub("$N", {2008, 5, 3, 12, 0, 0}), "\x8c\xe3");
}

TEST(SubstituteTextCode, FileTimeCodesUseTheUnassignedTimeOf1899) {
  EXPECT_EQ(Sub("=F"), "1899/12/30 00:00:00");
  EXPECT_EQ(Sub("_F"), "1899/12/30 00:00:00");
  EXPECT_EQ(Sub("=f"), "1899/12/30");
  EXPECT_EQ(Sub("_y"), "99");
  EXPECT_EQ(Sub("=Y"), "32");  // 明治32
  EXPECT_EQ(Sub("_wa"), "SAT");
  EXPECT_EQ(Sub("=ma"), "DEC");
  TDrawingInfo info;
  info.DrawingFileTime = 39572.37783564815;  // 2008-05-04 09:04:05
  EXPECT_EQ(Sub("_F", {}, info), "2008/ 5/ 4 09:04:05");
  EXPECT_EQ(Sub("_d", {}, info), " 4");
  EXPECT_EQ(Sub("=d", {}, info), "04");
}

TEST(SubstituteTextCode, FileNameCodes) {
  EXPECT_EQ(Sub("%F"), "");
  EXPECT_EQ(Sub("%f1"), "\xA5");
  EXPECT_EQ(Sub("%f3"), "");
  TDrawingInfo info;
  info.DrawingFilePath =
      "C:\\work\\\x90\x7d\x96\xca"
      "a.b.jww";  // 図面a.b.jww
  EXPECT_EQ(Sub("$F", {}, info), info.DrawingFilePath);
  EXPECT_EQ(Sub("%f", {}, info),
            "\x90\x7d\x96\xca"
            "a.b.jww");
  EXPECT_EQ(Sub("$f", {}, info),
            "\x90\x7d\x96\xca"
            "a.b");
  EXPECT_EQ(Sub("%f1", {}, info), "\xA5");  // begins with a double-byte character
  EXPECT_EQ(Sub("%f3", {}, info), "\x90\x7d");
  EXPECT_EQ(Sub("%ff", {}, info),
            "\x90\x7d\x96\xca"
            "a.b");
  info.DrawingFilePath = "D:plan.jww";
  EXPECT_EQ(Sub("%f2", {}, info), "pl");
}

TEST(SubstituteTextCode, InformationAndScaleCodes) {
  EXPECT_EQ(Sub("%mm"), "\xA5\xA5");
  EXPECT_EQ(Sub("%T"), "");
  TDrawingInfo info;
  info.DrawingInfoText1 = "a";
  info.DrawingInfoText2 = "b";
  EXPECT_EQ(Sub("%mm", {}, info),
            "a\xA5\xA5"
            "b");
  EXPECT_EQ(Sub("%m1", {}, info), "a");
  // The scale is never assigned: its codes stand for nothing rather than divide by zero.
  EXPECT_EQ(Sub("%SS"), "");
  EXPECT_EQ(Sub("%sp"), "");
  info.DrawingScale = 100;
  info.DrawingScaleDivisor = 2;
  EXPECT_EQ(Sub("%SS", {}, info), "1/100");
  EXPECT_EQ(Sub("%ss", {}, info), "100");
  EXPECT_EQ(Sub("%SP", {}, info), "1/50");
  EXPECT_EQ(Sub("%sp", {}, info), "50");
  info.DrawingScale = 0.3;
  EXPECT_EQ(Sub("%SS", {}, info), "3.3/1");
  EXPECT_EQ(Sub("%ss", {}, info), "3.3");
  EXPECT_EQ(Sub("%SP", {}, info), "6.7/1");
}

TEST(SubstituteTextCode, UserSubstitutionsAndNonCodes) {
  TDrawingInfo info;
  info.UserSubstitutions = {{"%%abc", "value"}, {"%%abc", "second"}};
  EXPECT_EQ(Sub("%%abc", {}, info), "value");
  EXPECT_EQ(Sub("%%a^!b"), "%%a^!b");  // no entry: unchanged, still substituted
  const TFixedClock clock({2008, 5, 3, 9, 4, 5});
  for (std::string_view text :
       {"", "abc", "%", "%x", "_j", "=J", "%f0", "%fg", "%M ", "$jj", "^@BMa"}) {
    const TSubstitution s = SubstituteTextCode(text, {}, clock);
    EXPECT_FALSE(s.Substituted) << text;
    EXPECT_EQ(s.Text, text);
  }
}

TEST(JapaneseCalendar, ErasAndWeekdays) {
  const TFixedClock clock({});
  EXPECT_EQ(clock.EraName({2019, 4, 30}), "\x95\xbd\x90\xac");  // 平成
  EXPECT_EQ(clock.EraYear({2019, 4, 30}), 31);
  EXPECT_EQ(clock.EraName({2019, 5, 1}), "\x97\xdf\x98\x61");  // 令和
  EXPECT_EQ(clock.EraYear({2019, 5, 1}), 1);
  EXPECT_EQ(clock.EraYear({1989, 1, 7}), 64);  // 昭和64
  EXPECT_EQ(clock.EraYear({1989, 1, 8}), 1);
  EXPECT_EQ(clock.EraName({1800, 1, 1}), "");
  EXPECT_EQ(DayOfWeek({2008, 5, 3}), 6);
  EXPECT_EQ(DayOfWeek({1899, 12, 30}), 6);
  EXPECT_EQ(DayOfWeek({2026, 12, 8}), 2);
}

TEST(DateTimeFromSerial, DaysAndTimeOfDay) {
  EXPECT_EQ(DateTimeFromSerial(0), (TDateTime{1899, 12, 30, 0, 0, 0}));
  EXPECT_EQ(DateTimeFromSerial(1.5), (TDateTime{1899, 12, 31, 12, 0, 0}));
  EXPECT_EQ(DateTimeFromSerial(39572.37783564815), (TDateTime{2008, 5, 4, 9, 4, 5}));
  EXPECT_EQ(DateTimeFromSerial(1e300), TDateTime{});
}

}  // namespace
}  // namespace pikrotta
