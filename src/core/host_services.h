// Everything the window's logic asks of the host system. Paths are Shift-JIS byte strings as
// the drawing and Jw_cad give them; only the host turns them into paths of its own file system.
//
// Member names keep clear of the names <windows.h> takes (its ReplaceFile and OpenFile, and
// functions such as MessageBeep that an override calling the system would otherwise call
// recursively), so a Windows host can implement them without surprises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_interfaces.h"
#include "network_paths.h"
#include "text_codes.h"

namespace pikrotta {

class TBlockMemory;

struct TFolderEntry {
  std::string Name;  // Shift-JIS
  bool IsFolder = false;
  int32_t DosTime = 0;  // packed local DOS date and time of the last write, two-second steps
};

// A file open for reading from its start.
class TInputFile {
 public:
  virtual ~TInputFile() = default;
  // Reads up to size bytes; the number read, 0 at the end of the file, -1 on an error.
  virtual int64_t Read(char* buffer, size_t size) = 0;
  // The file's length in bytes, -1 when it is not known.
  virtual int64_t Size() const { return -1; }
};

// Passes a file's bytes on, noting whether a line feed and a carriage return were among them:
// a file whose lines end in CR alone reads as one line.
class TLineEndWatch : public TInputFile {
 public:
  explicit TLineEndWatch(TInputFile& file) : File(file) {}
  int64_t Read(char* buffer, size_t size) override;
  int64_t Size() const override { return File.Size(); }
  bool OnlyCarriageReturns() const { return SawCr && !SawLf; }

 private:
  TInputFile& File;
  bool SawLf = false, SawCr = false;
};

// The bytes of a text file and whether it was read to its end without an error.
struct TFileText {
  std::string Bytes;
  bool Complete = true;
};

// The system's conversion of UTF-8 into Shift-JIS; what has no Shift-JIS form becomes "?".
class TTextConverter {
 public:
  virtual ~TTextConverter() = default;
  virtual std::string Utf8ToSjis(std::string_view utf8) const = 0;
};

class THostServices : public TEscKeyState, public TTextConverter {
 public:
  virtual bool FileExists(const std::string& path) const = 0;  // a folder does not count
  virtual bool FolderExists(const std::string& path) const = 0;
  // Whether each network path is a file, without waiting for a slow server past a bound: an
  // answer that does not come in time is NoAnswer. This default asks FileExists here, one path
  // after the other, for hosts whose answers come at once.
  virtual std::vector<TExistence> NetworkFilesExist(const std::vector<std::string>& paths) const;
  // Whether each local path is a file, answer for answer as FileExists gives it. A host may
  // answer many paths of one folder from one listing of it; this default asks FileExists.
  virtual std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) const;
  // Entries matching a pattern whose last part may hold "*" and "?", as FindFirstFile does
  // (MatchesWildcard gives that rule to hosts without it).
  virtual std::vector<TFolderEntry> ListFolder(const std::string& pattern) const = 0;
  // Null when no file can be opened at path (a folder is not a file).
  virtual std::unique_ptr<TInputFile> OpenForReading(const std::string& path) const = 0;
  // Writes a new file beside the old one and puts it in its place only once it is complete,
  // so that a failed write keeps the old file. False on failure.
  virtual bool ReplaceFileContents(const std::string& path, const std::string& bytes) = 0;
  // Copies a file to a path where none is, making the folders missing below the drive's or
  // share's root; never overwrites. The system's reason on failure, "" on success.
  virtual std::string CopyNewFile(const std::string& from, const std::string& to);
  // Opens the file's folder in the system's file manager with the file selected.
  virtual void ShowInFolder(const std::string&) {}
  // The default value of a key under HKEY_CLASSES_ROOT; nothing when there is none.
  virtual std::optional<std::string> ReadClassesRootDefault(const std::string& key) const = 0;
  virtual const TClockLocale& Clock() const = 0;
  // The system's message beep of the given type (0xFFFF: the simple beep).
  virtual void SoundMessageBeep(uint32_t type) = 0;
  virtual void ShowMessage(const std::string& text) = 0;  // modal, owned by the main window
  virtual void Navigate(const std::string& url) = 0;      // the promotion strip
  virtual std::string ProgramFilePath() const = 0;
  // Where the drawing's tables take their memory from; the heap unless the host has better.
  virtual TBlockMemory& BlockMemory() const;
};

// Reads a text file through the host, to its end or to its first limit bytes (a file that
// holds a few lines need not be read whole when something else stands there); nothing when it
// cannot be opened.
std::optional<TFileText> ReadTextFile(const THostServices& host, const std::string& path,
                                      size_t limit = SIZE_MAX);

// The lines of a text file read a piece at a time, as SplitTextLines splits them: each ends at
// CR LF, LF or CR, and a final line end makes no line. Each line keeps its first maxLength bytes
// only, so a huge line costs no memory. After a read error the line that was being read comes
// last, as far as it was read, and Failed() is true: it may be cut off.
class TTextLineReader {
 public:
  TTextLineReader(TInputFile& file, size_t maxLength) : File(file), MaxLength(maxLength) {}
  bool Next(std::string& line);  // false when there is no further line
  bool Failed() const { return Error; }
  // Whether the line Next gave last was read whole: up to its line end, or to the file's end.
  bool Whole() const { return !Error; }

 private:
  TInputFile& File;
  size_t MaxLength;
  std::vector<char> Buffer = std::vector<char>(64 * 1024);
  size_t Pos = 0, Filled = 0;
  bool AfterCr = false;  // an LF that comes next ends no line of its own
  bool AtEnd = false, Error = false;
};

// For hosts that answer FilesExist from folder listings: paths of one folder are worth a
// listing from this many on; a folder that lists more than kListedPerPath entries per path
// asked is not listed to its end but asked path by path.
inline constexpr size_t kPathsWorthAListing = 8;
inline constexpr size_t kListedPerPath = 64;

// Whether the last part of a Windows path names a device rather than a file: CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ or CONOUT$, in any case, with or without an
// extension ("nul.bmp") or trailing blanks. Windows opens the device for such a name.
bool IsDeviceName(std::string_view path);
// The length of a "\\?\" or "\\.\" prefix that keeps a path local ("\\?\C:\..."); 0 for
// any other path, "\\?\UNC\server\..." (a network path) among them.
size_t LocalPrefixLength(std::string_view path);

// Whether a file name matches a pattern with "*" and "?" as FindFirstFile matches it: letters
// compared without case, and "*.*" also taking names without a dot.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace pikrotta
