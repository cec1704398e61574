// Text at the Windows edge: Shift-JIS is code page 932 whatever the machine's own code page,
// so Japanese shows the same on an English Windows as on a Japanese one.
#pragma once

#include <string>
#include <string_view>

namespace pikrotta::win32 {

// Characters that do not convert, a lone lead byte at the end among them, become U+FFFD.
std::wstring SjisToWide(std::string_view sjis);
// What has no Shift-JIS form becomes "?".
std::string WideToSjis(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace pikrotta::win32
