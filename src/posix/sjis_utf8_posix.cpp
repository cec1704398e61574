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

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  static const TIconv converter("UTF-8", "CP932");
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  for (size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    // Convert one character at a time so that a bad one costs only itself.
    const size_t length = IsLeadByte(b) ? 2 : 1;
    if (i + length > sjis.size() || !converter.Valid()) {
      out.append(kReplacement);
      i += length;
      continue;
    }
    char in[2] = {sjis[i], length == 2 ? sjis[i + 1] : '\0'};
    std::array<char, 8> buffer{};
    char* inPtr = in;
    size_t inLeft = length;
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter.Get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0)
      out.append(kReplacement);
    else
      out.append(buffer.data(), buffer.size() - outLeft);
    i += length;
  }
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  static const TIconv converter("CP932", "UTF-8");
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    char in[4] = {};
    const size_t take = std::min(length, utf8.size() - i);
    std::copy_n(utf8.data() + i, take, in);
    std::array<char, 8> buffer{};
    char* inPtr = in;
    size_t inLeft = take;
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    if (!converter.Valid() ||
        iconv(converter.Get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0)
      out.push_back('?');
    else
      out.append(buffer.data(), buffer.size() - outLeft);
    i += take;
  }
  return out;
}

}  // namespace pikrotta
