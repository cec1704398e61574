// Shift-JIS (code page 932) to UTF-8, for output at the edge of the program only.
#pragma once

#include <string>
#include <string_view>

namespace pikrotta {

// Characters that do not convert, including a lone lead byte at the end, become U+FFFD.
std::string SjisToUtf8(std::string_view sjis);
// The other way, for names the file system gives; what has no Shift-JIS form becomes "?".
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace pikrotta
