#include <iconv.h>

#include <algorithm>
#include <array>

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
    else if ((IsLeadByte(b) && length == 1) ||
             !ConvertCharacter(converter, sjis.substr(i, length), out))
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
