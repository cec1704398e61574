#include "my_func.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace pikrotta {

namespace {

constexpr size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && s[i] == ' ') ++i;
  return i;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t StrToIntDef0(std::string_view s) {
  size_t i = SkipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const bool hex = i < s.size() && s[i] == '$';
  if (hex) ++i;
  if (i == s.size()) return 0;
  const int base = hex ? 16 : 10;
  // The magnitude of INT32_MIN is the largest value that can be accepted; stop before overflow.
  constexpr int64_t kLimit = int64_t{1} << 31;
  int64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const int digit = HexDigitValue(s[i]);
    if (digit < 0 || digit >= base) return 0;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return 0;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return magnitude == kLimit ? 0 : static_cast<int32_t>(magnitude);
}

namespace {

// Short plain decimals ("-123.4567") are most of a drawing's numbers. When the digits fit in
// 53 bits and at most 22 of them follow the point, mantissa / 10^k is two exact doubles and
// one correctly rounded division, so the result equals the full conversion's.
bool TryShortDecimal(std::string_view s, size_t i, double& value) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const size_t size = s.size();
  if (size - i > 16) return false;  // more than 15 digits and a point
  // The digits before the point, then those after it: a walk without a test per byte of
  // which side it is on.
  uint64_t mantissa = 0;
  const size_t first = i;
  for (; i < size && static_cast<unsigned char>(s[i] - '0') < 10; ++i)
    mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
  size_t digits = i - first, fraction = 0;
  if (i < size) {
    if (s[i] != '.') return false;
    const size_t point = ++i;
    for (; i < size && static_cast<unsigned char>(s[i] - '0') < 10; ++i)
      mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
    if (i < size) return false;
    fraction = i - point;
    digits += fraction;
  }
  if (digits == 0 || digits > 15) return false;
  value = static_cast<double>(mantissa) / kPow10[fraction];
  return true;
}

}  // namespace

double StrToFloatDef0(std::string_view s) {
  size_t i = SkipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // from_chars would also take "inf", "nan" and a second sign; only digits or "." may follow.
  if (i == s.size() || !((s[i] >= '0' && s[i] <= '9') || s[i] == '.')) return 0.0;
  double value = 0.0;
  if (TryShortDecimal(s, i, value)) return negative ? -value : value;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data() + i, end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end) return 0.0;
  return negative ? -value : value;
}

std::string RightStrMB(std::string_view s, int32_t n) {
  const int64_t length = static_cast<int64_t>(s.size());
  int64_t a = n < 0 ? -static_cast<int64_t>(n) : n;
  std::string result;
  if (a == 0 || length == 0) return result;
  if (a > length) a = length;
  const int64_t first = length - a;  // 0-based position of the first byte that may be taken
  for (int64_t i = 0; i < length;) {
    const int64_t charLength = (IsLeadByte(s[i]) && i + 1 < length) ? 2 : 1;
    if (i >= first && static_cast<int64_t>(result.size()) + charLength <= a)
      result.append(s.substr(i, charLength));
    i += charLength;
  }
  return result;
}

void CopyMB(std::string_view s, int32_t start, int32_t count, std::string& part, int32_t& taken) {
  // Built apart and assigned last, so that part may be the string that s looks at.
  std::string result;
  const int64_t length = static_cast<int64_t>(s.size());
  if (length > 0 && start >= 1 && start <= length && count > 0) {
    const int64_t last = static_cast<int64_t>(start) + count - 1;  // 1-based, inclusive
    for (int64_t i = 1; i <= length;) {
      if (IsLeadByte(s[i - 1]) && i < length) {
        if (start <= i && i + 1 <= last) result.append(s.substr(i - 1, 2));
        i += 2;
      } else {
        if (start <= i && i <= last) result.push_back(s[i - 1]);
        i += 1;
      }
    }
  }
  taken = static_cast<int32_t>(result.size());
  part = std::move(result);
}

int32_t LengthMB(std::string_view s) {
  int32_t characters = 0;
  for (size_t i = 0; i < s.size(); i += IsLeadByte(s[i]) ? 2 : 1) ++characters;
  return characters;
}

void CopyCharsMB(std::string_view s, int32_t start, int32_t count, std::string& part) {
  std::string result;  // assigned last, so that part may be the string that s looks at
  const int32_t characters = LengthMB(s);
  if (characters >= start && count > 0) {
    const int64_t last = std::min<int64_t>(static_cast<int64_t>(start) + count - 1, characters);
    int64_t number = 1;
    for (size_t i = 0; i < s.size() && number <= last; ++number) {
      const size_t charLength = IsLeadByte(s[i]) ? 2 : 1;
      if (number >= start) result.append(s.substr(i, charLength));
      i += charLength;
    }
  }
  part = std::move(result);
}

size_t PosMB(std::string_view needle, std::string_view s) {
  if (needle.empty()) return 0;
  for (size_t i = 0; i < s.size(); i += IsLeadByte(s[i]) ? 2 : 1)
    if (s.substr(i).starts_with(needle)) return i + 1;
  return 0;
}

size_t FilePathLength(std::string_view path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size(); i += IsLeadByte(path[i]) ? 2 : 1)
    if (path[i] == '\\' || path[i] == ':') end = i + 1;
  return end;
}

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, FilePathLength(path)));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += IsLeadByte(path[i]) ? 2 : 1) {
    if (path[i] == '.')
      dot = i;
    else if (path[i] == '\\' || path[i] == ':')
      dot = std::string_view::npos;
  }
  return std::string(path.substr(0, dot)) + std::string(extension);
}

std::string Trim(std::string_view s) {
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return std::string(s.substr(begin, end - begin));
}

std::string UpperCaseMB(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += IsLeadByte(out[i]) ? 2 : 1)
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  return out;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

int32_t RoundHalfEven(double v) {
  const double t = std::nearbyint(v);  // the default rounding mode rounds halves to even
  if (std::isnan(t)) return 0;
  if (t >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (t <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(t);
}

double PointDistance(double x1, double y1, double x2, double y2) {
  return std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
}

double DirectionAngle(double dx, double dy) {
  if (std::fabs(dx) < 1e-10 && std::fabs(dy) < 1e-10) return 0.0;
  const double a = std::atan2(dy, dx);
  return a < 0 ? a + 2 * std::numbers::pi : a;
}

double RotateX(double x, double y, double cx, double cy, double a) {
  return cx + std::cos(a) * (x - cx) - std::sin(a) * (y - cy);
}

double RotateY(double x, double y, double cx, double cy, double a) {
  return cy + std::sin(a) * (x - cx) + std::cos(a) * (y - cy);
}

namespace {

// A difference is zero when trunc(d / 1e-8 + 0.5) is 0, i.e. for -1.5e-8 < d < 0.5e-8.
bool NearZero(double d) {
  return std::trunc(d / 1e-8 + 0.5) == 0.0;
}

bool WithinRange(double v, double a, double b) {
  const double lo = std::min(a, b) - 1e-8;
  const double hi = std::max(a, b) + 1e-8;
  return v >= lo && v <= hi;
}

}  // namespace

int32_t LineIntersection(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double& px, double& py) {
  const bool firstVertical = NearZero(x1 - x2);
  const bool secondVertical = NearZero(x3 - x4);
  if (firstVertical && secondVertical) return 0;
  if (firstVertical) {
    px = x1;
    py = y3 + (x1 - x3) * (y4 - y3) / (x4 - x3);
  } else if (secondVertical) {
    px = x3;
    py = y1 + (x3 - x1) * (y2 - y1) / (x2 - x1);
  } else {
    const double m1 = (y2 - y1) / (x2 - x1);
    const double m2 = (y4 - y3) / (x4 - x3);
    if (NearZero(m1 - m2)) return 0;
    const double c1 = y1 - x1 * m1;
    const double c2 = y3 - x3 * m2;
    px = (c2 - c1) / (m1 - m2);
    py = c1 + m1 * px;
  }
  const bool onBoth = WithinRange(px, x1, x2) && WithinRange(py, y1, y2) &&
                      WithinRange(px, x3, x4) && WithinRange(py, y3, y4);
  return onBoth ? 1 : 2;
}

double EstimateTextWidth(std::string_view text, double w, double d) {
  double width = 0.0;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b)) {
      width += w;
      i += 2;
      if (i < text.size()) width += d;
    } else {
      if (b >= 0x20) width += w / 2;
      i += 1;
      if (i < text.size()) width += d / 2;
    }
  }
  return width;
}

void ExchangeDoubles(double& a, double& b) {
  std::swap(a, b);
}

}  // namespace pikrotta
