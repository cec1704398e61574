#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "my_func.h"
#include "sjis_utf8.h"

namespace pikrotta {

namespace {

// One iconv descriptor, closed when the object goes.
class TIconv {
 public:
  TIconv(const char* to, const char* from) : Handle(iconv_open(to, from)) {}
  ~TIconv() {
    if (Valid()) iconv_close(Handle);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool Valid() const { return Handle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return Handle; }

 private:
  iconv_t Handle;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Converts one whole character (at most 4 bytes); false when it has no form in the target.
// Character by character, so that a bad one costs only itself.
bool ConvertCharacter(const TIconv& converter, std::string_view character, std::string& out) {
  if (!converter.Valid() || character.size() > 4) return false;
  char in[4] = {};
  std::copy(character.begin(), character.end(), in);
  std::array<char, 8> buffer{};
  char* inPtr = in;
  size_t inLeft = character.size();
  char* outPtr = buffer.data();
  size_t outLeft = buffer.size();
  iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter.Get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0)
    return false;
  out.append(buffer.data(), buffer.size() - outLeft);
  return true;
}

// A double-byte character converted lately, by its two bytes: a list of a million rows
// converts the same few marks a million times, and iconv costs a reset and a call each.
struct TConvertedPair {
  uint16_t Code = 0;  // no pair starts with a zero byte: an empty entry
  std::string Utf8;   // the replacement when the pair has no form in UTF-8
};

const std::string& ConvertPair(const TIconv& converter, std::string_view pair) {
  thread_local std::array<TConvertedPair, 256> recent;
  const auto code = static_cast<uint16_t>((static_cast<unsigned char>(pair[0]) << 8) |
                                          static_cast<unsigned char>(pair[1]));
  TConvertedPair& entry = recent[(code ^ (code >> 8)) & 0xFF];
  if (entry.Code != code) {
    entry.Code = code;
    entry.Utf8.clear();
    if (!ConvertCharacter(converter, pair, entry.Utf8)) entry.Utf8 = kReplacement;
  }
  return entry.Utf8;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  static const TIconv converter("UTF-8", "CP932");
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  for (size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    const size_t length = ConvertedCharLength(sjis, i);
    if (b < 0x80)
      out.push_back(static_cast<char>(b));
    else if (length == 2)
      out.append(ConvertPair(converter, sjis.substr(i, 2)));
    else if (IsLeadByte(b) || !ConvertCharacter(converter, sjis.substr(i, 1), out))
      out.append(kReplacement);  // a lead byte without its trail byte too
    i += length;
  }
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  static const TIconv converter("CP932", "UTF-8");
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t length = std::min<size_t>(b >= 0xF0   ? 4
                                           : b >= 0xE0 ? 3
                                           : b >= 0xC0 ? 2
                                                       : 1,
                                           utf8.size() - i);
    if (b < 0x80)
      out.push_back(static_cast<char>(b));
    else if (!ConvertCharacter(converter, utf8.substr(i, length), out))
      out.push_back('?');
    i += length;
  }
  return out;
}

}  // namespace pikrotta
