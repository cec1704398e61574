#include "posix_host.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "jwcad_lookup.h"
#include "large_page_memory.h"
#include "my_func.h"
#include "sjis_utf8.h"

namespace pikrotta {

namespace fs = std::filesystem;

namespace {

std::string Slashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';  // after conversion to UTF-8 no multi-byte sequence holds 0x5C
  return s;
}

int32_t DosTimeOf(fs::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  const std::time_t t = std::chrono::system_clock::to_time_t(system);
  std::tm local{};
  localtime_r(&t, &local);
  const uint32_t date = static_cast<uint32_t>(((local.tm_year - 80) << 9) |
                                              ((local.tm_mon + 1) << 5) | local.tm_mday);
  const uint32_t clock =
      static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return static_cast<int32_t>((date << 16) | clock);
}

}  // namespace

fs::path TPosixHost::NativePath(const std::string& full) const {
  // Only Windows paths on a mapped drive lead anywhere: a network path, a path without a
  // drive ("/etc/passwd" as a drawing may name it) or one on another drive is not found.
  // "\\?\C:\..." is the same path as "C:\...".
  const std::string path = full.substr(LocalPrefixLength(full));
  if (path.size() < 2 || path[1] != ':') return {};
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  const auto drive = Drives.find(letter);
  if (drive == Drives.end()) return {};
  // "." and ".." as Windows takes them: ".." at the root stays at the root, so no path leaves
  // the folder that stands for the drive.
  std::vector<std::string> parts;
  const std::string rest = Slashes(SjisToUtf8(path.substr(2)));
  for (size_t start = 0; start <= rest.size();) {
    size_t end = rest.find('/', start);
    if (end == std::string::npos) end = rest.size();
    const std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  fs::path native = drive->second;
  for (const std::string& part : parts) native /= part;
  // A path that ended in a separator names a folder; keep it so.
  if (!rest.empty() && rest.back() == '/' && !parts.empty()) native /= "";
  return native;
}

bool TPosixHost::FileExists(const std::string& path) const {
  // As on Windows, where "NUL" or "C:\JWW\con.bmp" opens a device, not a file.
  if (IsDeviceName(path)) return false;
  const fs::path native = NativePath(path);
  std::error_code error;
  return !native.empty() && fs::is_regular_file(native, error);
}

namespace {

// The ASCII digits of a name, in order. A folder that compares names without case (vfat, or
// ext4's casefold) takes other names for this one, but folding case and normalising never
// make, drop or move a digit: a name whose digits no listed name has is not there.
std::string DigitsOf(std::string_view name) {
  std::string digits;
  for (const char c : name)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

// What one listing of a folder tells of the names in it: each name with its entry type, and
// the digits of each.
struct TFolderNames {
  std::unordered_map<std::string, unsigned char> Exact;
  std::unordered_set<std::string> Digits;
};

// The names in folder; empty when the folder is not there or is no folder, so that nothing
// in it is found; nothing when the listing cannot answer for it (the folder cannot be read,
// or it grew past limit).
std::optional<TFolderNames> ListNames(const std::string& folder, size_t limit) {
  TFolderNames names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    if (errno == ENOENT || errno == ENOTDIR) return names;
    return std::nullopt;
  }
  errno = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (names.Exact.size() > limit) return std::nullopt;
    names.Exact.emplace(entry->d_name, entry->d_type);
    names.Digits.insert(DigitsOf(entry->d_name));
  }
  if (errno != 0) return std::nullopt;
  return names;
}

// Where a path's last part begins, reading whole characters as NativePath does; npos when
// the path has no folder part.
size_t NameStart(std::string_view path) {
  size_t start = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += ConvertedCharLength(path, i))
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  return start;
}

}  // namespace

// A drawing of thousands of pictures in a few folders asks thousands of paths: one listing of
// each such folder answers most of them. A name listed as a plain file is one and a name
// listed as a folder is not; a name that no listed name could stand for is missing; anything
// else (a link, an entry of unknown type, a folder that cannot be listed) is asked by itself.
// The paths are grouped by their Windows folder, so that each folder is made native once.
std::vector<bool> TPosixHost::FilesExist(const std::vector<std::string_view>& paths) const {
  std::vector<std::optional<bool>> answers(paths.size());
  std::unordered_map<std::string_view, std::vector<size_t>> byFolder;
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string_view path = paths[i];
    const size_t start = NameStart(path);
    if (start == std::string_view::npos) continue;
    const std::string_view name = path.substr(start);
    if (name.empty() || name == "." || name == "..") continue;
    byFolder[path.substr(0, start)].push_back(i);
  }
  for (const auto& [folder, members] : byFolder) {
    if (members.size() < kPathsWorthAListing) continue;
    const fs::path native = NativePath(std::string(folder));
    if (native.empty()) continue;
    const std::optional<TFolderNames> names =
        ListNames(native.string(), members.size() * kListedPerPath);
    if (!names) continue;
    for (const size_t i : members) {
      if (IsDeviceName(paths[i])) continue;
      const std::string name = SjisToUtf8(paths[i].substr(folder.size()));
      if (const auto entry = names->Exact.find(name); entry != names->Exact.end()) {
        if (entry->second == DT_REG) answers[i] = true;
        if (entry->second == DT_DIR) answers[i] = false;
      } else if (!names->Digits.contains(DigitsOf(name))) {
        answers[i] = false;
      }
    }
  }
  std::vector<bool> exist(paths.size());
  for (size_t i = 0; i < paths.size(); ++i)
    exist[i] = answers[i] ? *answers[i] : FileExists(std::string(paths[i]));
  return exist;
}

bool TPosixHost::FolderExists(const std::string& path) const {
  const fs::path native = NativePath(path);
  std::error_code error;
  return !native.empty() && fs::is_directory(native, error);
}

std::vector<TFolderEntry> TPosixHost::ListFolder(const std::string& pattern) const {
  std::vector<TFolderEntry> entries;
  const std::string folder = ExtractFilePath(pattern);
  const std::string mask = pattern.substr(folder.size());
  const fs::path native = folder.empty() ? fs::path(".") : NativePath(folder);
  std::error_code error;
  if (native.empty() || !fs::is_directory(native, error)) return entries;
  for (fs::directory_iterator it(native, error), end; !error && it != end; it.increment(error)) {
    const std::string name = Utf8ToSjis(it->path().filename().string());
    if (!MatchesWildcard(name, mask)) continue;
    std::error_code entryError;
    const auto written = it->last_write_time(entryError);
    entries.push_back({name, it->is_directory(entryError), entryError ? 0 : DosTimeOf(written)});
  }
  return entries;
}

namespace {

// A file read through its descriptor, closed with the object.
class TPosixInputFile : public TInputFile {
 public:
  explicit TPosixInputFile(int fd) : Fd(fd) {}
  ~TPosixInputFile() override { ::close(Fd); }
  TPosixInputFile(const TPosixInputFile&) = delete;
  TPosixInputFile& operator=(const TPosixInputFile&) = delete;

  int64_t Read(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t got = ::read(Fd, buffer, size);
      if (got >= 0) return got;
      if (errno != EINTR) return -1;
    }
  }
  int64_t Size() const override {
    struct stat info {};
    return ::fstat(Fd, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<int64_t>(info.st_size)
                                                            : -1;
  }

 private:
  int Fd;
};

}  // namespace

std::unique_ptr<TInputFile> OpenNativeFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {  // a folder is not a file
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<TPosixInputFile>(fd);
}

std::unique_ptr<THostServices> MakeHost(const THostSetup& setup) {
  return std::make_unique<TPosixHost>(setup);
}

bool HostMapsDrives() {
  return true;
}

void UseLargePagesForTheHeap(char** argv) {
#ifdef __GLIBC__
  constexpr std::string_view kTunable = "glibc.malloc.hugetlb";
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const std::string_view set = tunables ? tunables : "";
  if (set.find(kTunable) != std::string_view::npos) return;  // this start, or the user's choice
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(mode, modes);
  if (modes.find("[madvise]") == std::string::npos) return;  // always on, or never
  if (!LargePagesPay()) return;
  const std::string value =
      std::string(set) + (set.empty() ? "" : ":") + std::string(kTunable) + "=1";
  if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  // Not started again: carry on as we are, with the environment as it was.
  if (tunables)
    ::setenv("GLIBC_TUNABLES", std::string(set).c_str(), 1);
  else
    ::unsetenv("GLIBC_TUNABLES");
#else
  (void)argv;
#endif
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::unique_ptr<TInputFile> TPosixHost::OpenForReading(const std::string& path) const {
  const fs::path native = NativePath(path);
  return native.empty() ? nullptr : OpenNativeFile(native);
}

namespace {

// Writes all bytes, through short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A new file beside target with a name of its own, created exclusively and never through a
// link: two programs saving at once, a file left by a killed save, or a link planted where
// the new file goes can do no harm. -1 when none could be made.
int CreateUniqueBeside(const fs::path& target, fs::path& created) {
  std::random_device seed;
  std::mt19937_64 random((uint64_t{seed()} << 32) ^ seed() ^ static_cast<uint64_t>(::getpid()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    created = target;
    created += suffix;
    const int fd =
        ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes a rename in the folder survive a power loss; a folder that cannot be synced does not
// undo the rename, so this is best effort.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Removes what saves killed before their rename left beside target: files named as
// CreateUniqueBeside names them, older than any save still under way can be.
void RemoveStaleTemporaries(const fs::path& target) {
  constexpr auto kStale = std::chrono::minutes(10);
  const std::string prefix = target.filename().string() + ".";
  std::error_code error;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(target.parent_path().empty() ? "." : target.parent_path(), error),
       end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const bool ours =
        name.size() == prefix.size() + 16 + 4 && name.starts_with(prefix) &&
        name.ends_with(".tmp") &&
        name.find_first_not_of("0123456789abcdef", prefix.size()) == prefix.size() + 16;
    std::error_code entryError;
    if (!ours || !it->is_regular_file(entryError) || it->is_symlink(entryError)) continue;
    const auto written = it->last_write_time(entryError);
    if (!entryError && now - written > kStale) fs::remove(it->path(), entryError);
  }
}

}  // namespace

bool TPosixHost::ReplaceFileContents(const std::string& path, const std::string& bytes) {
  const fs::path native = NativePath(path);
  if (native.empty()) return false;
  fs::path fresh;
  const int fd = CreateUniqueBeside(native, fresh);
  if (fd < 0) return false;
  // On disk before the rename, so that the name never points at a file not yet written.
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  // rename replaces atomically: a reader sees the old file or the new one, never a part.
  ok = ok && ::rename(fresh.c_str(), native.c_str()) == 0;
  if (!ok) {
    ::unlink(fresh.c_str());  // only the file made here
    return false;
  }
  SyncFolder(native.parent_path());
  RemoveStaleTemporaries(native);
  return true;
}

std::string TPosixHost::CopyNewFile(const std::string& from, const std::string& to) {
  const fs::path source = NativePath(from), target = NativePath(to);
  if (source.empty() || target.empty()) return "the path lies on no mapped drive";
  if (IsDeviceName(to)) return "the path names a device";
  // The drive's own folder must be there; what is missing below it is made.
  const std::string path = to.substr(LocalPrefixLength(to));
  std::error_code error;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  if (!fs::is_directory(Drives.at(letter), error)) return "the drive's folder is not there";
  fs::create_directories(target.parent_path(), error);
  if (error) return error.message();
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return std::strerror(errno);
  // O_EXCL: a file that is there, or one made meanwhile, is never overwritten.
  const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const int reason = errno;
    ::close(in);
    return std::strerror(reason);
  }
  int reason = 0;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got < 0) reason = errno;
      break;
    }
    if (!WriteAll(out, std::string_view(buffer, static_cast<size_t>(got)))) {
      reason = errno;
      break;
    }
  }
  if (reason == 0 && ::fsync(out) != 0) reason = errno;
  if (::close(out) != 0 && reason == 0) reason = errno;
  ::close(in);
  if (reason == 0) return {};
  ::unlink(target.c_str());  // only the file made here
  return std::strerror(reason);
}

std::optional<std::string> TPosixHost::ReadClassesRootDefault(const std::string& key) const {
  if (key == kJwcadOpenCommandKey) return JwcadOpenCommand;
  return std::nullopt;
}

TBlockMemory& TPosixHost::BlockMemory() const {
  return ProcessLargePageMemory();
}

std::string TPosixHost::Utf8ToSjis(std::string_view utf8) const {
  return pikrotta::Utf8ToSjis(utf8);
}

void TPosixHost::ShowMessage(const std::string& text) {
  std::cerr << SjisToUtf8(text) << "\n";
}

}  // namespace pikrotta
