// A host and window controls held in memory, for driving the window's handlers in tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_esc_key.h"
#include "jwcad_lookup.h"
#include "main_window.h"
#include "memory_controls.h"
#include "my_func.h"
#include "recording_canvas.h"
#include "sjis_utf8.h"
#include "transfer_test_util.h"

namespace pikrotta::test {

class TFakeHost : public THostServices {
 public:
  std::map<std::string, std::string> Files;                   // Shift-JIS path -> bytes
  std::set<std::string> Folders;                              // without the trailing backslash
  std::vector<std::pair<std::string, TFolderEntry>> Entries;  // folder (with "\") and entry
  std::optional<std::string> Registry;
  TFixedClock FixedClock{{2026, 12, 8, 10, 30, 0}};
  bool FailReads = false;  // files break off after half their bytes
  bool FailWrites = false;
  int32_t Beeps = 0;
  std::vector<std::string> Messages;
  std::vector<std::string> Urls;
  TFakeEscKey Esc;

  bool EscPressed() const override { return Esc.EscPressed(); }
  bool FileExists(const std::string& path) const override { return Files.count(path) > 0; }
  bool FolderExists(const std::string& path) const override {
    std::string folder = path;
    while (folder.ends_with("\\")) folder.pop_back();
    return Folders.count(folder) > 0;
  }
  std::vector<TFolderEntry> ListFolder(const std::string& pattern) const override {
    std::vector<TFolderEntry> found;
    const std::string folder = ExtractFilePath(pattern);
    for (const auto& [where, entry] : Entries)
      if (where == folder && MatchesWildcard(entry.Name, pattern.substr(folder.size())))
        found.push_back(entry);
    return found;
  }
  std::unique_ptr<TInputFile> OpenForReading(const std::string& path) const override {
    const auto it = Files.find(path);
    if (it == Files.end()) return nullptr;
    return std::make_unique<TMemoryInputFile>(
        it->second, FailReads ? it->second.size() / 2 : std::string::npos);
  }
  bool ReplaceFileContents(const std::string& path, const std::string& bytes) override {
    if (FailWrites) return false;
    Files[path] = bytes;
    return true;
  }
  // As Windows copies: never over a file that is there.
  std::string CopyNewFile(const std::string& from, const std::string& to) override {
    if (!Files.count(from)) return "no such file";
    if (Files.count(to)) return "the file exists";
    Files[to] = Files[from];
    return {};
  }
  void ShowInFolder(const std::string& path) override { Shown.push_back(path); }
  std::vector<std::string> Shown;  // folders opened with a file selected
  std::optional<std::string> ReadClassesRootDefault(const std::string& key) const override {
    return key == kJwcadOpenCommandKey ? Registry : std::nullopt;
  }
  const TClockLocale& Clock() const override { return FixedClock; }
  void SoundMessageBeep(uint32_t) override { ++Beeps; }
  std::string Utf8ToSjis(std::string_view utf8) const override {
    return pikrotta::Utf8ToSjis(utf8);
  }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void Navigate(const std::string& url) override { Urls.push_back(url); }
  std::string ProgramFilePath() const override { return "C:\\TOOLS\\pikrotta.exe"; }
};

// Controls that record what is drawn, with the cursor in the middle of the paint area.
class TFakeControls : public TMemoryControls<TRecordingCanvas> {
 public:
  TFakeControls() { Cursor = {200, 150}; }
};

}  // namespace pikrotta::test
