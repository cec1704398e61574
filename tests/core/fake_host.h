// A host and window controls held in memory, for driving the window's handlers in tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "main_window.h"
#include "my_func.h"
#include "posix_host.h"
#include "recording_canvas.h"

namespace pikrotta::test {

class TFakeHost : public THostServices {
 public:
  std::map<std::string, std::string> Files;                   // Shift-JIS path -> bytes
  std::set<std::string> Folders;                              // without the trailing backslash
  std::vector<std::pair<std::string, TFolderEntry>> Entries;  // folder (with "\") and entry
  std::optional<std::string> Registry;
  TFixedClock FixedClock{{2026, 12, 8, 10, 30, 0}};
  std::filesystem::path TransferFolder;  // where the program's folder really is
  bool FailReads = false;
  bool FailWrites = false;
  int32_t Beeps = 0;
  std::vector<std::string> Messages;
  std::vector<std::string> Urls;
  int32_t EscDownAfterPolls = 1 << 30;
  mutable int32_t EscPolls = 0;

  bool EscPressed() const override { return ++EscPolls > EscDownAfterPolls; }
  std::filesystem::path NativePath(const std::string& path) const override {
    return TransferFolder / path.substr(ExtractFilePath(path).size());
  }
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
  std::optional<TFileText> ReadTextFile(const std::string& path) const override {
    const auto it = Files.find(path);
    if (it == Files.end()) return std::nullopt;
    if (FailReads) return TFileText{it->second.substr(0, it->second.size() / 2), false};
    return TFileText{it->second, true};
  }
  bool ReplaceFile(const std::string& path, const std::string& bytes) override {
    if (FailWrites) return false;
    Files[path] = bytes;
    return true;
  }
  std::optional<std::string> ReadClassesRootDefault(const std::string& key) const override {
    return key == "Jwwin.Document\\shell\\open\\command" ? Registry : std::nullopt;
  }
  const TClockLocale& Clock() const override { return FixedClock; }
  void MessageBeep(uint32_t) override { ++Beeps; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void Navigate(const std::string& url) override { Urls.push_back(url); }
  std::string ProgramFilePath() const override { return "C:\\TOOLS\\pikrotta.exe"; }
};

class TFakeControls : public TWindowControls {
 public:
  std::map<TLabel, std::string> Captions;
  std::vector<std::string> Rows;
  int32_t Selection = -1;
  TWindowBounds Bounds{0, 0, 601, 469};
  int32_t Panel = 201;
  TPoint PaintSize{400, 300};
  TPoint Cursor{200, 150};
  int32_t Focused = 0;
  bool Closed = false;
  TRecordingCanvas Canvas;

  std::string Caption(TLabel label) const override {
    const auto it = Captions.find(label);
    return it == Captions.end() ? std::string() : it->second;
  }
  void SetCaption(TLabel label, const std::string& text) override { Captions[label] = text; }
  void ClearList() override { Rows.clear(); }
  void AddListRow(const std::string& text) override { Rows.push_back(text); }
  int32_t ListCount() const override { return static_cast<int32_t>(Rows.size()); }
  int32_t ListSelection() const override { return Selection; }
  TWindowBounds WindowBounds() const override { return Bounds; }
  void SetWindowBounds(const TWindowBounds& bounds) override { Bounds = bounds; }
  int32_t PanelWidth() const override { return Panel; }
  void SetPanelWidth(int32_t width) override { Panel = width; }
  TPoint PaintAreaSize() const override { return PaintSize; }
  TPoint CursorPosition() const override { return Cursor; }
  void FocusEditA() override { ++Focused; }
  TCanvas& PaintCanvas() override { return Canvas; }
  void CloseWindow() override { Closed = true; }
};

}  // namespace pikrotta::test
