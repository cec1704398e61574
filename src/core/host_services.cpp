#include "host_services.h"

#include <algorithm>
#include <cstring>

#include "jww_model.h"
#include "my_func.h"

namespace pikrotta {

TBlockMemory& THostServices::BlockMemory() const {
  return HeapBlockMemory();
}

std::vector<TExistence> THostServices::NetworkFilesExist(
    const std::vector<std::string>& paths) const {
  std::vector<TExistence> answers;
  answers.reserve(paths.size());
  for (const std::string& path : paths)
    answers.push_back(FileExists(path) ? TExistence::Found : TExistence::Missing);
  return answers;
}

std::string THostServices::CopyNewFile(const std::string&, const std::string&) {
  return "this system copies no files";
}

std::vector<bool> THostServices::FilesExist(const std::vector<std::string_view>& paths) const {
  std::vector<bool> answers;
  answers.reserve(paths.size());
  for (const std::string_view path : paths) answers.push_back(FileExists(std::string(path)));
  return answers;
}

std::optional<TFileText> ReadTextFile(const THostServices& host, const std::string& path,
                                      size_t limit) {
  const std::unique_ptr<TInputFile> file = host.OpenForReading(path);
  if (!file) return std::nullopt;
  TFileText text;
  char chunk[4096];
  while (text.Bytes.size() < limit) {
    const int64_t got = file->Read(chunk, std::min(sizeof chunk, limit - text.Bytes.size()));
    if (got <= 0) {
      text.Complete = got == 0;
      return text;
    }
    text.Bytes.append(chunk, static_cast<size_t>(got));
  }
  return text;
}

int64_t TLineEndWatch::Read(char* buffer, size_t size) {
  const int64_t got = File.Read(buffer, size);
  if (got > 0) {
    const auto n = static_cast<size_t>(got);
    SawLf = SawLf || std::memchr(buffer, '\n', n);
    SawCr = SawCr || std::memchr(buffer, '\r', n);
  }
  return got;
}

bool TTextLineReader::Next(std::string& line) {
  line.clear();
  bool begun = false;  // a byte of the line has been seen
  for (;;) {
    if (Pos == Filled) {
      if (AtEnd) return begun;
      const int64_t got = File.Read(Buffer.data(), Buffer.size());
      if (got <= 0) {
        AtEnd = true;
        Error = got < 0;
        return begun;
      }
      Pos = 0;
      Filled = static_cast<size_t>(got);
    }
    const char c = Buffer[Pos++];
    if (AfterCr) {
      AfterCr = false;
      if (c == '\n') continue;
    }
    if (c == '\r') {
      AfterCr = true;
      return true;
    }
    if (c == '\n') return true;
    begun = true;
    if (line.size() < MaxLength) line.push_back(c);
  }
}

namespace {

// Length of the character at the start of s: a lead byte takes the byte after it.
size_t CharLength(std::string_view s) {
  return IsLeadByte(s[0]) && s.size() > 1 ? 2 : 1;
}

bool SameChar(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 2) return a == b;
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  return upper(a[0]) == upper(b[0]);
}

bool Match(std::string_view name, std::string_view pattern) {
  while (!pattern.empty()) {
    if (pattern[0] == '*') {
      pattern.remove_prefix(1);
      for (std::string_view rest = name;; rest.remove_prefix(CharLength(rest))) {
        if (Match(rest, pattern)) return true;
        if (rest.empty()) return false;
      }
    }
    if (name.empty()) return false;
    const size_t n = CharLength(name), p = CharLength(pattern);
    if (!(pattern[0] == '?' || SameChar(name.substr(0, n), pattern.substr(0, p)))) return false;
    name.remove_prefix(n);
    pattern.remove_prefix(pattern[0] == '?' ? 1 : p);
  }
  return name.empty();
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (Match(name, pattern)) return true;
  return pattern.ends_with(".*") && Match(name, pattern.substr(0, pattern.size() - 2));
}

bool IsDeviceName(std::string_view path) {
  // The folder part as Shift-JIS reads it (a trail byte is no backslash); "/" separates too and
  // is never a trail byte.
  std::string_view name = path.substr(FilePathLength(path));
  if (const size_t slash = name.find_last_of('/'); slash != std::string_view::npos)
    name.remove_prefix(slash + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (name.size() > 7) return false;
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
      upper == "CONOUT$")
    return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

size_t LocalPrefixLength(std::string_view path) {
  if (!path.starts_with("\\\\?\\") && !path.starts_with("\\\\.\\")) return 0;
  const std::string_view rest = path.substr(4);
  const bool unc = rest.size() >= 4 && (rest[0] == 'U' || rest[0] == 'u') &&
                   (rest[1] == 'N' || rest[1] == 'n') && (rest[2] == 'C' || rest[2] == 'c') &&
                   rest[3] == '\\';
  return unc ? 0 : 4;
}

}  // namespace pikrotta
