// Texts whose whole content is a code (a date, the drawing's file name, a scale, ...) are
// drawn as the code's value instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pikrotta {

struct TDateTime {
  int32_t Year = 1899, Month = 12, Day = 30;
  int32_t Hour = 0, Minute = 0, Second = 0;
  bool operator==(const TDateTime&) const = default;
};

// A date-time counted in days since 30 December 1899, the fraction being the time of day.
TDateTime DateTimeFromSerial(double days);
// 0 = Sunday .. 6 = Saturday.
int32_t DayOfWeek(const TDateTime& t);

// The clock and the locale's calendar names. The defaults give the Japanese era (明治 to 令和)
// and the weekday names 日..土 from tables in the core, since most systems' formatting knows
// no Japanese era; a host may answer from its system calendar instead. Names are Shift-JIS.
class TClockLocale {
 public:
  virtual ~TClockLocale() = default;
  virtual TDateTime Now() const = 0;
  virtual std::string EraName(const TDateTime& t) const;  // "ggg"; empty before 明治
  virtual int32_t EraYear(const TDateTime& t) const;      // "e"; the year itself before 明治
  virtual std::string ShortWeekdayName(const TDateTime& t) const;  // "aaa"
  virtual std::string DateSeparator() const { return "/"; }
  virtual std::string TimeSeparator() const { return ":"; }
};

// A clock that always answers the same time: tests, and traces that must not change daily.
class TFixedClock : public TClockLocale {
 public:
  explicit TFixedClock(TDateTime time) : Time(time) {}
  TDateTime Now() const override { return Time; }
  TDateTime Time;
};

// Formats with the pattern letters yyyy yy m mm d dd h hh n nn s ss e ee ggg aaa AM/PM, the
// separators "/" and ":", and blanks. "h" counts 1..12 when AM/PM is in the pattern.
std::string FormatDateTime(std::string_view pattern, const TDateTime& t,
                           const TClockLocale& locale);

struct TStr2List {
  std::string Key;
  std::string Value;
};

// Values the codes read. Nothing in this program assigns them; they keep these initial values.
struct TDrawingInfo {
  std::string DrawingFilePath;
  double DrawingFileTime = 0;
  std::string DrawingInfoText;
  std::string DrawingInfoText1;
  std::string DrawingInfoText2;
  double DrawingScale = 0;
  double DrawingScaleDivisor = 0;
  std::vector<TStr2List> UserSubstitutions;
};

struct TSubstitution {
  std::string Text;
  bool Substituted = false;
};

TSubstitution SubstituteTextCode(std::string_view text, const TDrawingInfo& info,
                                 const TClockLocale& clock);

}  // namespace pikrotta
