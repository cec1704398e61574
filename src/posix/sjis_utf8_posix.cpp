#include <iconv.h>

#include <array>

#include "my_func.h"
#include "sjis_utf8.h"

namespace pikrotta {

namespace {

// One iconv descriptor, closed when the object goes.
class TIconv {
 public:
  TIconv() : Handle(iconv_open("UTF-8", "CP932")) {}
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
  static const TIconv converter;
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

}  // namespace pikrotta
