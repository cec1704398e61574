// Everything the window's logic asks of the host system. Paths are Shift-JIS byte strings as
// the drawing and Jw_cad give them; the host turns them into paths of its own file system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host_interfaces.h"
#include "text_codes.h"

namespace pikrotta {

struct TFolderEntry {
  std::string Name;  // Shift-JIS
  bool IsFolder = false;
  int32_t DosTime = 0;  // packed local DOS date and time of the last write, two-second steps
};

// The bytes of a text file and whether it was read to its end without an error.
struct TFileText {
  std::string Bytes;
  bool Complete = true;
};

class THostServices : public TEscKeyState {
 public:
  virtual std::filesystem::path NativePath(const std::string& path) const = 0;
  virtual bool FileExists(const std::string& path) const = 0;  // a folder does not count
  virtual bool FolderExists(const std::string& path) const = 0;
  // Entries matching a pattern whose last part may hold "*" and "?", as FindFirstFile does.
  virtual std::vector<TFolderEntry> ListFolder(const std::string& pattern) const = 0;
  // Nothing when the file cannot be opened.
  virtual std::optional<TFileText> ReadTextFile(const std::string& path) const = 0;
  // Writes a new file beside the old one and puts it in its place only once it is complete,
  // so that a failed write keeps the old file. False on failure.
  virtual bool ReplaceFile(const std::string& path, const std::string& bytes) = 0;
  // The default value of a key under HKEY_CLASSES_ROOT; nothing when there is none.
  virtual std::optional<std::string> ReadClassesRootDefault(const std::string& key) const = 0;
  virtual const TClockLocale& Clock() const = 0;
  virtual void MessageBeep(uint32_t type) = 0;
  virtual void ShowMessage(const std::string& text) = 0;  // modal
  virtual void Navigate(const std::string& url) = 0;      // the promotion strip
  virtual std::string ProgramFilePath() const = 0;
};

}  // namespace pikrotta
