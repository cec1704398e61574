// Shift-JIS (code page 932) to UTF-8, for output at the edge of the program only.
#pragma once

#include <string>
#include <string_view>

namespace pikrotta {

// Characters that do not convert, including a lone lead byte at the end, become U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

}  // namespace pikrotta
