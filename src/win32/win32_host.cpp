#include "win32_host.h"

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <map>
#include <optional>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include <shellapi.h>

#include "text_win32.h"
#include "win32_handles.h"
#include "window_texts.h"

namespace pikrotta::win32 {

namespace {

DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesW(SjisToWide(path).c_str());
}

// Free of the host, so a late network worker can finish after the window has gone.
bool IsFileOnDisk(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  // "NUL", "C:\JWW\con.bmp" or "\\.\COM1" have attributes but are devices, not files; a disk
  // file is what GetFileType says it is. Other names need not be opened.
  if (!IsDeviceName(path) && !path.starts_with("\\\\.\\")) return true;
  const TUniqueFile file(::CreateFileW(SjisToWide(path).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && ::GetFileType(file.get()) == FILE_TYPE_DISK;
}

// What one listing of a folder tells of names in it: each listed name, long or short, and
// whether it is a folder; and the rough form of each (see RoughName).
struct TFolderNames {
  std::unordered_map<std::wstring, bool> Exact;
  std::unordered_set<std::wstring> Rough;
};

// A name with every letter and every character beyond ASCII made one and the same. The file
// system compares names of one length character by character, each by its upper case, so two
// names it takes as one have the same rough form: a name whose rough form is not listed is
// not there.
std::wstring RoughName(std::wstring name) {
  for (wchar_t& c : name)
    if (c >= 0x80 || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')) c = L'a';
  return name;
}

// The names in folder, or nothing when the listing cannot answer for it: it failed for a
// reason other than the folder's absence, or it grew past limit.
std::optional<TFolderNames> ListNames(const std::wstring& folder, size_t limit) {
  TFolderNames names;
  WIN32_FIND_DATAW found{};
  TUniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoStandard, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return names;
    return std::nullopt;
  }
  do {
    if (names.Exact.size() > limit) return std::nullopt;
    const bool folderEntry = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    for (const wchar_t* name : {found.cFileName, found.cAlternateFileName}) {
      if (!name[0]) continue;
      names.Exact.emplace(name, folderEntry);
      names.Rough.insert(RoughName(name));
    }
  } while (::FindNextFileW(find.get(), &found));
  return names;
}

// Where a listing can answer for a path as GetFileAttributes does: a path on a drive, short
// enough for either, whose name Windows takes as it stands (no trailing dot or blank, no
// wildcard, stream or device). Gives the folder and the name; nothing for any other path.
std::optional<std::pair<std::wstring, std::wstring>> ListableParts(std::string_view sjis) {
  if (IsDeviceName(sjis)) return std::nullopt;
  const std::wstring path = SjisToWide(sjis);
  const bool onDrive = path.size() > 3 && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z') &&
                       path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  if (!onDrive || path.size() >= MAX_PATH - 12) return std::nullopt;
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = path.substr(slash + 1);
  if (name.empty() || name.back() == L'.' || name.back() == L' ') return std::nullopt;
  for (const wchar_t c : name)
    if (c < 0x20 || std::wcschr(L"*?<>\":|", c)) return std::nullopt;
  return std::pair{path.substr(0, slash), std::move(name)};
}

// A file read through its handle, closed with the object.
class TWin32InputFile : public TInputFile {
 public:
  explicit TWin32InputFile(TUniqueFile file) : File(std::move(file)) {}
  int64_t Read(char* buffer, size_t size) override {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!::ReadFile(File.get(), buffer, want, &got, nullptr)) return -1;
    return got;
  }
  int64_t Size() const override {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(File.get(), &size) ? size.QuadPart : -1;
  }

 private:
  TUniqueFile File;
};

std::unique_ptr<TInputFile> OpenWide(const std::wstring& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open: it is not a file.
  TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<TWin32InputFile>(std::move(file));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!::WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

// A name beside target that no other program or earlier save uses.
std::wstring UniqueNameBeside(const std::wstring& target) {
  static std::atomic<uint32_t> counter{0};
  static std::mt19937_64 random(std::random_device{}() ^ ::GetCurrentProcessId() ^
                                ::GetTickCount64());
  wchar_t suffix[48];
  swprintf(suffix, 48, L".%08lx%08lx%04x.tmp", static_cast<unsigned long>(random()),
           static_cast<unsigned long>(::GetCurrentProcessId()), counter++ & 0xFFFF);
  return target + suffix;
}

// Puts fresh in target's place. A virus scanner, a sync client or a second Pikrotta saving at
// the same moment holds the target for a few milliseconds; the move is tried again for up to
// a second before the save counts as failed.
bool MoveOver(const std::wstring& fresh, const std::wstring& target) {
  constexpr int kAttempts = 20;
  constexpr DWORD kPause = 50;  // ms
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(fresh.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || folder || attempt == kAttempts) return false;
    ::Sleep(kPause);
  }
}

}  // namespace

int32_t DosTimeOf(const FILETIME& written) {
  FILETIME local{};
  WORD date = 0, time = 0;
  if (!::FileTimeToLocalFileTime(&written, &local) ||
      !::FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

bool TWin32Host::TAsyncEscKey::EscPressed() const {
  // The key state is the whole desktop's: an Esc meant for another program (Jw_cad, say)
  // must not cut our drawing short.
  DWORD process = 0;
  ::GetWindowThreadProcessId(::GetForegroundWindow(), &process);
  if (process != ::GetCurrentProcessId()) return false;
  return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

bool TWin32Host::EscPressed() const {
  return Esc.EscPressed();
}

bool TWin32Host::FileExists(const std::string& path) const {
  return IsFileOnDisk(path);
}

// Under Wine every question of the file system costs tens of microseconds, and on Windows a
// drawing of thousands of pictures in a few folders asks thousands: one listing of each such
// folder answers most of them. A name listed as it stands is that entry; a name whose rough
// form is not listed is missing; anything else is asked by itself.
std::vector<bool> TWin32Host::FilesExist(const std::vector<std::string_view>& paths) const {
  std::vector<std::optional<bool>> answers(paths.size());
  std::map<std::wstring, std::vector<std::pair<size_t, std::wstring>>> byFolder;
  for (size_t i = 0; i < paths.size(); ++i)
    if (auto parts = ListableParts(paths[i]))
      byFolder[std::move(parts->first)].emplace_back(i, std::move(parts->second));
  for (const auto& [folder, members] : byFolder) {
    if (members.size() < kPathsWorthAListing) continue;
    const std::optional<TFolderNames> names = ListNames(folder, members.size() * kListedPerPath);
    if (!names) continue;
    for (const auto& [i, name] : members) {
      if (const auto entry = names->Exact.find(name); entry != names->Exact.end())
        answers[i] = !entry->second;
      else if (!names->Rough.contains(RoughName(name)))
        answers[i] = false;
    }
  }
  std::vector<bool> exist(paths.size());
  for (size_t i = 0; i < paths.size(); ++i)
    exist[i] = answers[i] ? *answers[i] : IsFileOnDisk(std::string(paths[i]));
  return exist;
}

std::vector<TExistence> TWin32Host::NetworkFilesExist(const std::vector<std::string>& paths) const {
  return TestPathsWithin(paths, IsFileOnDisk, NetworkBound);
}

std::string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const TUniqueLocal owned(text);
  std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
    message.pop_back();
  if (message.empty()) message = L"error " + std::to_wstring(error);
  return WideToSjis(message);
}

std::string TWin32Host::CopyNewFile(const std::string& from, const std::string& to) {
  const std::wstring source = SjisToWide(from), target = SjisToWide(to);
  // The root is the drive (C:\ or \\?\C:\) or the share (\\srv\share\); every folder
  // below it that is missing is made, from the top down.
  size_t at = 0;
  if (target.starts_with(L"\\\\")) {
    const size_t prefix = LocalPrefixLength(to) > 0 ? 4 : 2;
    at = target.find(L'\\', prefix);
    if (LocalPrefixLength(to) == 0 && at != std::wstring::npos) at = target.find(L'\\', at + 1);
  } else {
    at = target.find(L'\\');
  }
  while (at != std::wstring::npos && (at = target.find(L'\\', at + 1)) != std::wstring::npos) {
    const std::wstring folder = target.substr(0, at);
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
      return SystemErrorText(::GetLastError());
  }
  if (!::CopyFileW(source.c_str(), target.c_str(), TRUE)) return SystemErrorText(::GetLastError());
  return {};
}

bool TWin32Host::FolderExists(const std::string& path) const {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<TFolderEntry> TWin32Host::ListFolder(const std::string& pattern) const {
  std::vector<TFolderEntry> entries;
  WIN32_FIND_DATAW found{};
  TUniqueFind find(::FindFirstFileW(SjisToWide(pattern).c_str(), &found));
  if (!find) return entries;
  do {
    // A name with a character that Shift-JIS lacks is listed by its short name, which opens.
    std::optional<std::string> name = ExactSjis(found.cFileName);
    if (!name && found.cAlternateFileName[0]) name = ExactSjis(found.cAlternateFileName);
    entries.push_back({name ? *name : WideToSjis(found.cFileName),
                       (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       DosTimeOf(found.ftLastWriteTime)});
  } while (::FindNextFileW(find.get(), &found));
  return entries;
}

std::unique_ptr<TInputFile> TWin32Host::OpenForReading(const std::string& path) const {
  return OpenWide(SjisToWide(path));
}

bool TWin32Host::ReplaceFileContents(const std::string& path, const std::string& bytes) {
  const std::wstring target = SjisToWide(path);
  std::wstring fresh;
  TUniqueFile file;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    fresh = UniqueNameBeside(target);
    // CREATE_NEW fails on any existing name, a link planted there included.
    file.reset(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (!file) return false;
  // On disk before the move, so the name never points at a file not yet written.
  const bool written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
  file.reset();
  if (written && MoveOver(fresh, target)) return true;
  ::DeleteFileW(fresh.c_str());  // only the file made here
  return false;
}

std::optional<std::string> TWin32Host::ReadClassesRootDefault(const std::string& key) const {
  if (JwcadOpenCommand) return JwcadOpenCommand;
  // Read access only: asking for more is refused under HKEY_CLASSES_ROOT to a user without
  // administrator rights, and the program path would then be empty for every such user.
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, SjisToWide(key).c_str(), 0, KEY_READ, &opened) !=
      ERROR_SUCCESS)
    return std::nullopt;
  const TUniqueKey owner(opened);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(opened, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));  // the stored value may lack its end
  if (type == REG_EXPAND_SZ) {
    // "%ProgramFiles%\..." as installers write it; "%1" names no variable and stays.
    const DWORD needed = ::ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::wstring expanded(needed, L'\0');
    if (needed == 0 || ::ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed) == 0)
      return std::nullopt;
    expanded.resize(wcsnlen(expanded.c_str(), expanded.size()));
    value = std::move(expanded);
  }
  return WideToSjis(value);
}

std::string TWin32Host::Utf8ToSjis(std::string_view utf8) const {
  return WideToSjis(Utf8ToWide(utf8));
}

void TWin32Host::SoundMessageBeep(uint32_t type) {
  ::MessageBeep(type);
}

void TWin32Host::ShowMessage(const std::string& text) {
  if (ConsoleMessages) {
    std::fprintf(stderr, "%s\n", WideToUtf8(SjisToWide(text)).c_str());
    return;
  }
  ::MessageBoxW(Owner, SjisToWide(text).c_str(), SjisToWide(texts::kApplicationTitle).c_str(),
                MB_OK);
}

void TWin32Host::ShowInFolder(const std::string& path) {
  const std::wstring arguments = L"/select,\"" + SjisToWide(path) + L"\"";
  ::ShellExecuteW(Owner, nullptr, L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

void TWin32Host::Navigate(const std::string& url) {
  if (OnNavigate) OnNavigate(SjisToWide(url));
}

std::string TWin32Host::ProgramFilePath() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return SjisPath(path);  // the transfer file and the settings are found beside it
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace pikrotta::win32

namespace pikrotta {

std::unique_ptr<THostServices> MakeHost(const THostSetup& setup) {
  auto host = std::make_unique<win32::TWin32Host>(setup);
  host->ConsoleMessages = true;
  return host;
}

bool HostMapsDrives() {
  return false;
}

void UseLargePagesForTheHeap(char**) {}  // large pages need a privilege on Windows

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const win32::TUniqueLocal owned(wide);
  if (!wide) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(win32::WideToUtf8(wide[i]));
  return arguments;
}

std::unique_ptr<TInputFile> OpenNativeFile(const std::filesystem::path& path) {
  return win32::OpenWide(path.wstring());
}

}  // namespace pikrotta
