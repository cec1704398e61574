// Conversion, Shift-JIS string and plane-geometry helpers shared by every unit.
// Strings are Shift-JIS bytes; positions and lengths are 1-based, as everywhere in the core.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pikrotta {

// Lead bytes of a double-byte character. 0x80 and 0xFD are included on purpose: the
// reader, the cutters and the text drawer must all agree on one test.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}
constexpr bool IsLeadByte(char b) {
  return IsLeadByte(static_cast<unsigned char>(b));
}

// Bytes that can follow a lead byte in code page 932.
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Bytes of the character at s[i] for a conversion into another code: a lead byte without a
// trail byte after it is a broken character of one byte, so that an ASCII byte after it (a
// quote, a comma, a line end) is kept.
constexpr size_t ConvertedCharLength(std::string_view s, size_t i) {
  return IsLeadByte(s[i]) && i + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(s[i + 1]))
             ? 2
             : 1;
}

// Whole-string conversions that give 0 for anything that is not a number. Leading blanks
// and a sign are accepted; integers may be "$"-prefixed hexadecimal. A value that does not
// fit (int32 for integers, float64 for floats, including underflow) also gives 0.
int32_t StrToIntDef0(std::string_view s);
double StrToFloatDef0(std::string_view s);

// The characters of s that begin within its last |n| bytes, never half a character.
std::string RightStrMB(std::string_view s, int32_t n);
// The whole characters lying within bytes start .. start + count - 1.
void CopyMB(std::string_view s, int32_t start, int32_t count, std::string& part, int32_t& taken);
// Number of characters; a lone lead byte at the end counts as one.
int32_t LengthMB(std::string_view s);
// Characters number start .. start + count - 1.
void CopyCharsMB(std::string_view s, int32_t start, int32_t count, std::string& part);

// 1-based position of the first occurrence of needle that starts on a character boundary, or 0.
size_t PosMB(std::string_view needle, std::string_view s);
// The folder part of a path: up to and including the last "\" or ":" (a trail byte never
// counts); empty when there is none.
std::string ExtractFilePath(std::string_view path);
size_t FilePathLength(std::string_view path);  // the bytes of ExtractFilePath's answer
// The path with its extension (from the last "." of the file name) replaced.
std::string ChangeFileExt(std::string_view path, std::string_view extension);
// Without leading and trailing blanks and control characters.
std::string Trim(std::string_view s);
// ASCII letters upper-cased; double-byte characters left alone.
std::string UpperCaseMB(std::string_view s);
// Lines of a text file: each ends at CR LF, LF or CR; no line for a final line end.
std::vector<std::string> SplitTextLines(std::string_view text);

// Truncates v + 0.5 (v - 0.5 when negative). Values beyond int32 saturate and NaN gives 0,
// so a far-away point maps to a far-away pixel instead of undefined behaviour.
// Inline: the drawing pass maps every chord point with it.
inline int32_t RoundHalfAway(double v) {
  const double t = std::trunc(v >= 0 ? v + 0.5 : v - 0.5);
  if (std::isnan(t)) return 0;
  if (t >= 2147483647.0) return INT32_MAX;
  if (t <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(t);
}
// Nearest integer, halves to even (font sizes, text positions); saturates like RoundHalfAway.
int32_t RoundHalfEven(double v);
double PointDistance(double x1, double y1, double x2, double y2);
// Direction of (dx, dy) in [0, 2*pi); 0 for a vector shorter than 1e-10 on both axes.
double DirectionAngle(double dx, double dy);
double RotateX(double x, double y, double cx, double cy, double a);
double RotateY(double x, double y, double cx, double cy, double a);
// 0: parallel or both vertical; 1: the lines meet within both segments; 2: they meet outside.
int32_t LineIntersection(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double& px, double& py);
double EstimateTextWidth(std::string_view text, double w, double d);
void ExchangeDoubles(double& a, double& b);

}  // namespace pikrotta
