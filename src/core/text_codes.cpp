#include "text_codes.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "my_func.h"

namespace pikrotta {

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int32_t>(yoe + era * 400 + (m <= 2));
}

const int64_t kSerialEpoch = DaysFromCivil(1899, 12, 30);

struct TEra {
  int32_t Year, Month, Day;
  const char* Name;  // Shift-JIS
};

// Start dates as Windows' Japanese calendar has them.
constexpr TEra kEras[] = {
    {1868, 1, 1, "\x96\xbe\x8e\xa1"},    // 明治
    {1912, 7, 30, "\x91\xe5\x90\xb3"},   // 大正
    {1926, 12, 25, "\x8f\xba\x98\x61"},  // 昭和
    {1989, 1, 8, "\x95\xbd\x90\xac"},    // 平成
    {2019, 5, 1, "\x97\xdf\x98\x61"},    // 令和
};

const TEra* EraOf(const TDateTime& t) {
  const TEra* found = nullptr;
  for (const TEra& era : kEras) {
    const bool started = std::tie(t.Year, t.Month, t.Day) >= std::tie(era.Year, era.Month, era.Day);
    if (started) found = &era;
  }
  return found;
}

// 日 月 火 水 木 金 土
constexpr const char* kWeekdays[] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85",
                                     "\x96\xd8", "\x8b\xe0", "\x93\x79"};

std::string Number(int64_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
  return buffer;
}

}  // namespace

TDateTime DateTimeFromSerial(double days) {
  TDateTime t;
  // Beyond these bounds the date means nothing; keep the start of the count.
  if (!std::isfinite(days) || std::fabs(days) > 3e6) return t;
  const double wholeDays = std::floor(days);
  int64_t seconds = std::llround((days - wholeDays) * 86400.0);
  int64_t day = static_cast<int64_t>(wholeDays);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  CivilFromDays(kSerialEpoch + day, t.Year, t.Month, t.Day);
  t.Hour = static_cast<int32_t>(seconds / 3600);
  t.Minute = static_cast<int32_t>(seconds / 60 % 60);
  t.Second = static_cast<int32_t>(seconds % 60);
  return t;
}

int32_t DayOfWeek(const TDateTime& t) {
  const int64_t days = DaysFromCivil(t.Year, t.Month, t.Day);  // 1970-01-01 was a Thursday
  return static_cast<int32_t>(((days % 7) + 7 + 4) % 7);
}

std::string TClockLocale::EraName(const TDateTime& t) const {
  const TEra* era = EraOf(t);
  return era ? era->Name : "";
}

int32_t TClockLocale::EraYear(const TDateTime& t) const {
  const TEra* era = EraOf(t);
  return era ? t.Year - era->Year + 1 : t.Year;
}

std::string TClockLocale::ShortWeekdayName(const TDateTime& t) const {
  return kWeekdays[DayOfWeek(t)];
}

std::string FormatDateTime(std::string_view pattern, const TDateTime& t,
                           const TClockLocale& locale) {
  const bool twelveHour = pattern.find("AM/PM") != std::string_view::npos;
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    auto run = [&](char c) {
      size_t n = 0;
      while (i + n < pattern.size() && pattern[i + n] == c) ++n;
      return n;
    };
    const char c = pattern[i];
    size_t n = 1;
    if (pattern.substr(i).starts_with("AM/PM")) {
      out += t.Hour < 12 ? "AM" : "PM";
      n = 5;
    } else if (c == 'y') {
      n = run('y');
      out += n >= 4 ? Number(t.Year, 4) : Number(t.Year % 100, 2);
    } else if (c == 'm' || c == 'd' || c == 'h' || c == 'n' || c == 's' || c == 'e') {
      n = std::min<size_t>(run(c), 2);
      int64_t value = 0;
      switch (c) {
        case 'm':
          value = t.Month;
          break;
        case 'd':
          value = t.Day;
          break;
        case 'h':
          value = twelveHour ? (t.Hour % 12 == 0 ? 12 : t.Hour % 12) : t.Hour;
          break;
        case 'n':
          value = t.Minute;
          break;
        case 's':
          value = t.Second;
          break;
        default:
          value = locale.EraYear(t);
          break;
      }
      out += Number(value, static_cast<int>(n));
    } else if (c == 'g') {
      n = run('g');
      out += locale.EraName(t);
    } else if (c == 'a') {
      n = run('a');
      out += locale.ShortWeekdayName(t);
    } else if (c == '/') {
      out += locale.DateSeparator();
    } else if (c == ':') {
      out += locale.TimeSeparator();
    } else {
      out += c;
    }
    i += n;
  }
  return out;
}

namespace {

std::string SpacePadded(std::string value) {
  return value.size() == 1 ? " " + value : value;
}
std::string ZeroPadded(std::string value) {
  return value.size() == 1 ? "0" + value : value;
}

// The padding that the first character of a time code selects.
std::string Pad(char prefix, std::string value) {
  switch (prefix) {
    case '&':
    case '_':
      return SpacePadded(std::move(value));
    case '%':
    case '=':
      return ZeroPadded(std::move(value));
    default:
      return value;
  }
}

std::string ShortestNumber(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", v);
  return buffer;
}

double ToOneDecimal(double t) {
  return std::trunc(t * 10 + 0.5) / 10;
}

// The file-name part: after the last path separator or drive colon.
std::string_view FileNamePart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += IsLeadByte(path[i]) ? 2 : 1)
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  return path.substr(std::min(start, path.size()));
}

std::string_view WithoutExtension(std::string_view name) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < name.size(); i += IsLeadByte(name[i]) ? 2 : 1)
    if (name[i] == '.') dot = i;
  return name.substr(0, dot);
}

constexpr std::string_view kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::string_view kEnglishWeekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

// A time code: the prefix selects the clock and the padding, the rest the field.
bool TimeCode(std::string_view text, const TDrawingInfo& info, const TClockLocale& clock,
              std::string& out) {
  if (text.size() < 2) return false;
  const char prefix = text[0];
  const bool fileTime = prefix == '_' || prefix == '=';
  if (prefix != '$' && prefix != '&' && prefix != '%' && !fileTime) return false;
  const std::string_view field = text.substr(1);
  // The file time is fixed; "now" is read anew for every piece formatted.
  auto when = [&] { return fileTime ? DateTimeFromSerial(info.DrawingFileTime) : clock.Now(); };
  auto format = [&](std::string_view pattern) { return FormatDateTime(pattern, when(), clock); };
  auto dateWithPaddedParts = [&] {
    return format("yyyy/") + SpacePadded(format("m")) + "/" + SpacePadded(format("d"));
  };

  if (field == "F" && fileTime) {
    out =
        prefix == '_' ? dateWithPaddedParts() + format(" hh:nn:ss") : format("yyyy/mm/dd hh:nn:ss");
  } else if (field == "f" && fileTime) {
    out = prefix == '_' ? dateWithPaddedParts() : format("yyyy/mm/dd");
  } else if (field == "j" && !fileTime) {
    out = dateWithPaddedParts();
  } else if (field == "J" && !fileTime) {
    // "ggge" + 年 + month + 月 + day + 日
    out = format("ggge") + "\x94\x4e" + SpacePadded(format("m")) + "\x8c\x8e" +
          SpacePadded(format("d")) + "\x93\xfa";
  } else if (field == "y") {
    if (prefix == '%' || prefix == '=')
      out = format("yy");
    else
      out = Pad(prefix, std::to_string(StrToIntDef0(format("yy"))));
  } else if (field == "Y") {
    out = Pad(prefix, format("e"));
  } else if (field == "m") {
    out = Pad(prefix, format("m"));
  } else if (field == "d") {
    out = Pad(prefix, format("d"));
  } else if (field == "H") {
    out = Pad(prefix, format("h"));
  } else if (field == "M") {
    out = Pad(prefix, format("n"));
  } else if (field == "S") {
    out = Pad(prefix, format("s"));
  } else if (field == "h") {
    std::string hour = format("h AM/PM");
    hour = hour.substr(0, hour.find(' '));
    if (hour == "12") hour = "0";
    out = Pad(prefix, hour);
  } else if (field == "w" || field == "W") {
    out = format("aaa");
  } else if (field == "wa") {
    out = format("aaa");
    for (int32_t day = 0; day < 7; ++day)
      if (out == kWeekdays[day]) {
        out = kEnglishWeekdays[day];
        break;
      }
  } else if (field == "ma") {
    const int32_t month = StrToIntDef0(format("m"));
    out = month >= 1 && month <= 12 ? std::string(kMonths[month - 1]) : "";
  } else if (field == "n") {
    out = format("AM/PM");
  } else if (field == "N") {
    out = format("AM/PM") == "AM" ? "\x91\x4f" : "\x8c\xe3";  // 前, 後
  } else {
    return false;
  }
  return true;
}

bool FileNameCode(std::string_view text, const TDrawingInfo& info, std::string& out) {
  const std::string_view path = info.DrawingFilePath;
  if (text == "$F" || text == "&F" || text == "%F") {
    out = path;
  } else if (text == "%f") {
    out = FileNamePart(path);
  } else if (text == "$f" || text == "&f") {
    out = WithoutExtension(FileNamePart(path));
  } else if (text.size() == 3 && text.starts_with("%f")) {
    const char c = text[2];
    const int32_t n = (c >= '1' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 0;
    if (n == 0) return false;
    int32_t taken = 0;
    CopyMB(WithoutExtension(FileNamePart(path)), 1, n, out, taken);
    if (n == 1 && taken == 0)
      out.assign(1, static_cast<char>(0xA5));  // ･ stands for a first character that is double-byte
  } else {
    return false;
  }
  return true;
}

bool InfoCode(std::string_view text, const TDrawingInfo& info, std::string& out) {
  if (text == "$T" || text == "&T" || text == "%T" || text == "_T" || text == "=T") {
    out = info.DrawingInfoText;
  } else if (text == "%m1") {
    out = info.DrawingInfoText1;
  } else if (text == "%m2") {
    out = info.DrawingInfoText2;
  } else if (text == "%mm") {
    out = info.DrawingInfoText1 + "\xA5\xA5" + info.DrawingInfoText2;
  } else {
    return false;
  }
  return true;
}

bool ScaleCode(std::string_view text, const TDrawingInfo& info, std::string& out) {
  const bool ratio = text == "%SS" || text == "%SP";
  const bool plain = text == "%ss" || text == "%sp";
  if (!ratio && !plain) return false;
  const bool perDivisor = text == "%SP" || text == "%sp";
  const double s = info.DrawingScale, divisor = info.DrawingScaleDivisor;
  // A zero scale (the initial value, never assigned) or divisor has no value: the code
  // stands for an empty text rather than a division by zero.
  if (s == 0 || !std::isfinite(s) || (perDivisor && (divisor == 0 || !std::isfinite(divisor)))) {
    out.clear();
    return true;
  }
  const double q = perDivisor ? s / divisor : s;
  if (q >= 1) {
    out = (ratio ? "1/" : "") + ShortestNumber(q);
  } else {
    const double inverse = ToOneDecimal(perDivisor ? divisor * (1 / s) : 1 / s);
    out = ShortestNumber(inverse) + (ratio ? "/1" : "");
  }
  return true;
}

}  // namespace

TSubstitution SubstituteTextCode(std::string_view text, const TDrawingInfo& info,
                                 const TClockLocale& clock) {
  TSubstitution result{std::string(text), true};
  if (text.starts_with("%%")) {
    for (const TStr2List& entry : info.UserSubstitutions)
      if (entry.Key == text) {
        result.Text = entry.Value;
        break;
      }
    return result;
  }
  // Every other code is two or three bytes and begins with one of these.
  const bool mayBeCode = text.size() >= 2 && text.size() <= 3 &&
                         std::string_view("$&%_=").find(text[0]) != std::string_view::npos;
  std::string value;
  if (mayBeCode && (TimeCode(text, info, clock, value) || FileNameCode(text, info, value) ||
                    InfoCode(text, info, value) || ScaleCode(text, info, value))) {
    result.Text = std::move(value);
    return result;
  }
  result.Substituted = false;
  return result;
}

}  // namespace pikrotta
