// Host services on POSIX systems, for the command line: Windows paths on mapped drives
// resolve under folders of this file system; there is no registry, no beep and no browser.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "host_services.h"
#include "platform_host.h"
#include "system_clock.h"

namespace pikrotta {

class TPosixHost : public THostServices {
 public:
  TPosixHost() = default;
  explicit TPosixHost(const THostSetup& setup)
      : Drives(setup.Drives), JwcadOpenCommand(setup.JwcadOpenCommand) {}

  // Drive letter (upper case) to the folder that stands for its root.
  std::map<char, std::filesystem::path> Drives;
  // What the registry would hold for Jw_cad's open command.
  std::optional<std::string> JwcadOpenCommand;
  std::string Program;  // Shift-JIS
  int32_t Beeps = 0;

  bool EscPressed() const override { return false; }
  // The path of this file system for a Shift-JIS Windows path. Paths on unmapped drives and
  // network paths come back empty: nothing is found there.
  std::filesystem::path NativePath(const std::string& full) const;
  bool FileExists(const std::string& path) const override;
  std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) const override;
  bool FolderExists(const std::string& path) const override;
  std::vector<TFolderEntry> ListFolder(const std::string& pattern) const override;
  std::unique_ptr<TInputFile> OpenForReading(const std::string& path) const override;
  // A unique temporary file beside the old one, written and flushed to disk, then renamed
  // over it; on any failure only that temporary file is removed and the old file stays.
  bool ReplaceFileContents(const std::string& path, const std::string& bytes) override;
  std::string CopyNewFile(const std::string& from, const std::string& to) override;
  std::optional<std::string> ReadClassesRootDefault(const std::string& key) const override;
  const TClockLocale& Clock() const override { return SystemClock; }
  std::string Utf8ToSjis(std::string_view utf8) const override;
  void SoundMessageBeep(uint32_t) override { ++Beeps; }
  void ShowMessage(const std::string& text) override;
  void Navigate(const std::string&) override {}
  std::string ProgramFilePath() const override { return Program; }
  TBlockMemory& BlockMemory() const override;

 private:
  TSystemClock SystemClock;
};

}  // namespace pikrotta
