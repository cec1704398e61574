// Host services on Windows: files and folders by their UTF-16 names, the registry, the Esc key,
// the message beep and box, the clock, and the promotion strip of the window.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "host_services.h"
#include "network_paths.h"
#include "platform_host.h"
#include "system_clock.h"
#include "windows_api.h"

namespace pikrotta::win32 {

class TWin32Host : public THostServices {
 public:
  TWin32Host() = default;
  explicit TWin32Host(const THostSetup& setup) : JwcadOpenCommand(setup.JwcadOpenCommand) {}
  TWin32Host(const TWin32Host&) = delete;  // the Esc key holds references to members
  TWin32Host& operator=(const TWin32Host&) = delete;

  // Stands in for the registry's value when set (the command line's --jwcad).
  std::optional<std::string> JwcadOpenCommand;
  HWND Owner = nullptr;          // the main window, owner of the modal message box
  bool ConsoleMessages = false;  // messages to standard error instead of a box (command line)
  std::function<void(const std::wstring& url)> OnNavigate;
  // How long a search waits for its servers; a test on a loaded machine waits longer.
  std::chrono::milliseconds NetworkBound = kNetworkAnswerBound;

  bool EscPressed() const override;
  bool FileExists(const std::string& path) const override;
  // On workers, every server at once, within the search's bound: a question about an
  // unreachable server waits for the SMB time-out.
  std::vector<TExistence> NetworkFilesExist(const std::vector<std::string>& paths) const override;
  // A folder's many paths from one listing of it, where that answers as FileExists would.
  std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) const override;
  bool FolderExists(const std::string& path) const override;
  std::vector<TFolderEntry> ListFolder(const std::string& pattern) const override;
  std::unique_ptr<TInputFile> OpenForReading(const std::string& path) const override;
  // A new file with a unique name beside the old one, created exclusively, written and
  // flushed to disk, then moved over the old one; on failure only that new file is removed.
  bool ReplaceFileContents(const std::string& path, const std::string& bytes) override;
  // CopyFileW that fails if the target is there, after CreateDirectoryW of every missing
  // folder below the root; the reason is FormatMessage's text of the error.
  std::string CopyNewFile(const std::string& from, const std::string& to) override;
  // Explorer with the file selected in its folder.
  void ShowInFolder(const std::string& path) override;
  std::optional<std::string> ReadClassesRootDefault(const std::string& key) const override;
  const TClockLocale& Clock() const override { return SystemClock; }
  std::string Utf8ToSjis(std::string_view utf8) const override;
  void SoundMessageBeep(uint32_t type) override;
  void ShowMessage(const std::string& text) override;
  void Navigate(const std::string& url) override;
  std::string ProgramFilePath() const override;

 private:
  class TAsyncEscKey : public TEscKeyState {
   public:
    bool EscPressed() const override;
  };

  TSystemClock SystemClock;
  TAsyncEscKey AsyncEsc;
  TSteadyClock Steady;
  TThrottledEscKey Esc{AsyncEsc, Steady};
};

// The system's sentence for an error code, in Shift-JIS, without its line end.
std::string SystemErrorText(DWORD error);

// The packed local DOS date and time of a file time, as the search compares them.
int32_t DosTimeOf(const FILETIME& written);

}  // namespace pikrotta::win32
