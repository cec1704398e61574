#include "text_win32.h"

#include <array>
#include <memory>
#include <optional>

#include "my_func.h"
#include "sjis_utf8.h"
#include "windows_api.h"

namespace pikrotta::win32 {

namespace {

constexpr UINT kShiftJis = 932;
constexpr wchar_t kReplacement = 0xFFFD;

// Every Shift-JIS character looked up once: the drawing converts one character per TextOut,
// and a system call per character would cost more than the drawing. Index: the byte of a
// single-byte character, or lead byte * 256 + trail byte of a double-byte one.
class TSjisTable {
 public:
  TSjisTable() : Chars(std::make_unique<std::array<wchar_t, 65536>>()) {
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) {
        // ASCII and half-width katakana; Windows gives the other single bytes (A0, FE, FF)
        // private characters, which are no text.
        const bool text = lead < 0x80 || (lead >= 0xA1 && lead <= 0xDF);
        (*Chars)[lead] = text ? Convert(std::string(1, static_cast<char>(lead))) : kReplacement;
        continue;
      }
      for (unsigned trail = 0; trail < 256; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        (*Chars)[lead * 256 + trail] = Convert(std::string(pair, 2));
      }
    }
  }
  wchar_t Single(unsigned char b) const { return (*Chars)[b]; }
  wchar_t Double(unsigned char lead, unsigned char trail) const {
    return (*Chars)[lead * 256u + trail];
  }

 private:
  // One character, or U+FFFD when code page 932 has none (or maps it to more than one).
  static wchar_t Convert(const std::string& bytes) {
    wchar_t out[2] = {};
    const int n = ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(bytes.size()), out, 2);
    return n == 1 ? out[0] : kReplacement;
  }
  std::unique_ptr<std::array<wchar_t, 65536>> Chars;
};

const TSjisTable& Table() {
  static const TSjisTable table;
  return table;
}

std::wstring MultiToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
  return out;
}

std::string WideToMulti(UINT codePage, std::wstring_view text, DWORD flags, const char* fallback) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n =
      ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, fallback, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace

std::wstring SjisToWide(std::string_view sjis) {
  const TSjisTable& table = Table();
  std::wstring out;
  out.reserve(sjis.size());
  for (size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (ConvertedCharLength(sjis, i) == 2) {
      out.push_back(table.Double(b, static_cast<unsigned char>(sjis[i + 1])));
      i += 2;
    } else {
      // A lead byte without its trail byte is no character; the byte after it is one.
      out.push_back(IsLeadByte(b) ? kReplacement : table.Single(b));
      ++i;
    }
  }
  return out;
}

std::string WideToSjis(std::wstring_view wide) {
  // No best fit: a character without a Shift-JIS form must not turn into a look-alike.
  return WideToMulti(kShiftJis, wide, WC_NO_BEST_FIT_CHARS, "?");
}

std::optional<std::string> ExactSjis(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL lost = FALSE;
  const int n = ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                      0, nullptr, &lost);
  if (n <= 0 || lost) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, nullptr,
                        &lost);
  return out;
}

std::string SjisPath(const std::wstring& path) {
  if (std::optional<std::string> exact = ExactSjis(path)) return *exact;
  // The short name of the path (8.3, ASCII) still leads to the file; where a volume keeps
  // none, the long one with "?" is all there is.
  const DWORD n = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  std::wstring shortPath(n, L'\0');
  if (n > 0 && ::GetShortPathNameW(path.c_str(), shortPath.data(), n) == n - 1) {
    shortPath.resize(n - 1);
    if (std::optional<std::string> exact = ExactSjis(shortPath)) return *exact;
  }
  return WideToSjis(path);
}

std::wstring Utf8ToWide(std::string_view utf8) {
  return MultiToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(std::wstring_view wide) {
  return WideToMulti(CP_UTF8, wide, 0, nullptr);
}

}  // namespace pikrotta::win32

namespace pikrotta {

std::string SjisToUtf8(std::string_view sjis) {
  return win32::WideToUtf8(win32::SjisToWide(sjis));
}

std::string Utf8ToSjis(std::string_view utf8) {
  return win32::WideToSjis(win32::Utf8ToWide(utf8));
}

}  // namespace pikrotta
