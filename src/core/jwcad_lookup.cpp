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
  const std::optional<TFileText> file = ReadTextFile(host, settingsFile);
  if (!file) return result;
  std::vector<std::string> lines = SplitTextLines(file->Bytes);
  // After a read error the last line may be cut off (AUTOSAVEDIR=D:\BA of D:\BAK): not trusted.
  if (!file->Complete && !lines.empty()) lines.pop_back();
  for (const std::string& raw : lines) {
    const std::string line = Trim(raw);
    const std::string upper = UpperCaseMB(line);
    if (upper.starts_with("END")) break;
    if (!upper.starts_with("AUTOSAVEDIR")) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) break;
    std::string value = line.substr(equals + 1);
    if (const size_t star = value.find('*'); star != std::string::npos) value.resize(star);
    value = Trim(value);
    if (RightStrMB(value, 1) != "\\") value += '\\';
    result = value;
    break;
  }
  return result;
}

}  // namespace pikrotta
