// Text at the Windows edge: Shift-JIS is code page 932 whatever the machine's own code page,
// so Japanese shows the same on an English Windows as on a Japanese one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pikrotta::win32 {

// Characters that do not convert, a lone lead byte at the end among them, become U+FFFD.
std::wstring SjisToWide(std::string_view sjis);
// What has no Shift-JIS form becomes "?".
std::string WideToSjis(std::wstring_view wide);
// The Shift-JIS form of a text when every character has one.
std::optional<std::string> ExactSjis(std::wstring_view wide);
// A path of the file system as the core takes it: its Shift-JIS form, or where a character
// has none (a folder named in Korean or with an accented letter), its short form, so that the
// path still leads to the file.
std::string SjisPath(const std::wstring& path);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace pikrotta::win32
