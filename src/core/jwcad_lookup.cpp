#include "jwcad_lookup.h"

#include "my_func.h"

namespace pikrotta {

std::string FindJwcadProgram(const THostServices& host) {
  std::string result = host.ReadClassesRootDefault(kJwcadOpenCommandKey).value_or("");
  result = "\"" + result + "\"";
  if (const size_t p = PosMB(" \"", result); p > 0) result = result.substr(0, p - 1);
  // The usual registration quotes the program path itself ("C:\JWW\Jw_win.exe" "%1"), which
  // leaves a second quote in front; it is taken off the same way as the first.
  for (int pass = 0; pass < 2 && !result.empty() && result[0] == '"'; ++pass) {
    result.erase(0, 1);
    if (RightStrMB(result, 1) == "\"") CopyCharsMB(result, 1, LengthMB(result) - 1, result);
  }
  return result;
}

std::string ReadAutoSaveFolder(const THostServices& host, const std::string& settingsFile) {
  std::string result = ExtractFilePath(settingsFile);
  if (!host.FileExists(settingsFile)) return result;
  const std::unique_ptr<TInputFile> file = host.OpenForReading(settingsFile);
  if (!file) return result;
  // Line by line up to the key, each line kept to a length no path reaches: a settings file
  // of any size costs no more memory than a line, and what follows the key is not read. A line
  // cut off by a read error (AUTOSAVEDIR=D:\BA of D:\BAK) is not trusted.
  constexpr size_t kLongestLine = 64 * 1024;
  TTextLineReader lines(*file, kLongestLine);
  // True when the line ends the search: the key, or the end of the section.
  auto take = [&](const std::string& raw) {
    const std::string line = Trim(raw);
    const std::string upper = UpperCaseMB(line);
    if (upper.starts_with("END")) return true;
    if (!upper.starts_with("AUTOSAVEDIR")) return false;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return true;
    std::string value = line.substr(equals + 1);
    if (const size_t star = value.find('*'); star != std::string::npos) value.resize(star);
    value = Trim(value);
    if (RightStrMB(value, 1) != "\\") value += '\\';
    result = value;
    return true;
  };
  for (std::string line; lines.Next(line) && lines.Whole();)
    if (take(line)) break;
  return result;
}

}  // namespace pikrotta
