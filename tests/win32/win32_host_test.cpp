// The Windows host on a real (Wine) file system and registry, with Shift-JIS names.
#include "win32_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "jwcad_lookup.h"
#include "main_window.h"
#include "memory_controls.h"
#include "null_canvas.h"
#include "text_win32.h"
#include "win32_handles.h"

namespace pikrotta::win32 {
namespace {

namespace fs = std::filesystem;

// Writes a file by its wide name (the standard streams of this runtime take narrow names only).
void WriteFile(const fs::path& path, std::string_view bytes) {
  TUniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ASSERT_TRUE(
      ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// A scratch folder per test, its Shift-JIS path ending in a backslash.
class Win32Host : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = fs::temp_directory_path() / ("pikrotta-win32-" + std::to_string(std::random_device{}()));
    fs::create_directories(Root);
    Folder = WideToSjis(Root.wstring()) + "\\";
  }
  void TearDown() override { fs::remove_all(Root); }
  fs::path Native(const std::string& sjisName) const { return Root / SjisToWide(sjisName); }

  fs::path Root;
  std::string Folder;
  TWin32Host Host;
};

// 0x5C, the backslash, is the second byte of ソ (83 5C) and 表 (95 5C): a conversion that took
// it for a path separator would break these names.
TEST_F(Win32Host, TrailBytesThatLookLikeBackslashesRoundTrip) {
  const struct {
    const char* Sjis;
    const wchar_t* Wide;
  } cases[] = {{"\x83\x5c", L"ソ"}, {"\x95\x5c", L"表"}, {"\x83\x5c\x83\x74\x83\x67", L"ソフト"}};
  for (const auto& c : cases) {
    EXPECT_EQ(SjisToWide(c.Sjis), c.Wide);
    EXPECT_EQ(WideToSjis(c.Wide), c.Sjis);
  }
  WriteFile(Native("\x95\x5c.txt"), "x");
  EXPECT_TRUE(Host.FileExists(Folder + "\x95\x5c.txt"));
  const std::vector<TFolderEntry> entries = Host.ListFolder(Folder + "*.txt");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "\x95\x5c.txt");
  EXPECT_EQ(ReadTextFile(Host, Folder + "\x95\x5c.txt")->Bytes, "x");
}

// The run in an English Windows says which code page it expects: there a conversion through
// the system's code page instead of 932 would fail the tests of Japanese text.
TEST(Win32System, CodePageIsTheOneTheRunAskedFor) {
  wchar_t expected[16] = {};
  if (!::GetEnvironmentVariableW(L"PIKROTTA_EXPECTED_ACP", expected, 16))
    GTEST_SKIP() << "code page " << ::GetACP();
  EXPECT_EQ(::GetACP(), static_cast<UINT>(std::wcstoul(expected, nullptr, 10)));
  EXPECT_EQ(WideToUtf8(SjisToWide("\x90\x7d\x96\xca")), "\xe5\x9b\xb3\xe9\x9d\xa2");  // 図面
}

// A folder whose name Shift-JIS cannot write (an accented letter, Korean): its files are still
// found through the short name, where "?" would lead nowhere.
TEST_F(Win32Host, PathsOutsideShiftJisStillLeadToTheirFiles) {
  const fs::path folder = Root / L"caf\u00e9 \uD55C";
  fs::create_directories(folder);
  WriteFile(folder / L"JWC_TEMP.TXT", "x");
  const std::string path = SjisPath((folder / L"JWC_TEMP.TXT").wstring());
  EXPECT_EQ(path.find('?'), std::string::npos) << path;
  EXPECT_TRUE(Host.FileExists(path)) << path;
  const std::vector<TFolderEntry> entries = Host.ListFolder(Folder + "*");
  const auto listed = std::find_if(entries.begin(), entries.end(), [](const TFolderEntry& e) {
    return e.IsFolder && e.Name != "." && e.Name != "..";
  });
  ASSERT_NE(listed, entries.end());
  EXPECT_TRUE(Host.FileExists(Folder + listed->Name + "\\JWC_TEMP.TXT")) << listed->Name;
  EXPECT_EQ(SjisPath(L"C:\\\u56F3\u9762"), "C:\\\x90\x7d\x96\xca");  // 図面 as it is
}

// Devices answer GetFileAttributes as files do; they are not files.
TEST_F(Win32Host, DevicesAreNoFilesAndLongPrefixesAreLocal) {
  WriteFile(Native("a.txt"), "x");
  for (const char* device : {"CON", "NUL", "nul.bmp", "CONIN$", "COM1", "\\\\.\\NUL"})
    EXPECT_FALSE(Host.FileExists(device)) << device;
  EXPECT_FALSE(Host.FileExists(Folder + "NUL"));
  EXPECT_FALSE(Host.FileExists(Folder + "con.bmp"));
  EXPECT_TRUE(Host.FileExists("\\\\?\\" + Folder + "a.txt"));
}

TEST_F(Win32Host, FilesFoldersAndReading) {
  fs::create_directories(Native("sub"));
  WriteFile(Native("a.txt"), "line 1\r\nline 2\r\n");
  EXPECT_TRUE(Host.FileExists(Folder + "a.txt"));
  EXPECT_FALSE(Host.FileExists(Folder + "sub"));  // a folder is no file
  EXPECT_TRUE(Host.FolderExists(Folder + "sub"));
  EXPECT_TRUE(Host.FolderExists(Folder + "sub\\"));
  EXPECT_FALSE(Host.FolderExists(Folder + "a.txt"));
  EXPECT_FALSE(Host.FileExists(Folder + "none.txt"));
  EXPECT_EQ(ReadTextFile(Host, Folder + "a.txt")->Bytes, "line 1\r\nline 2\r\n");
  EXPECT_EQ(Host.OpenForReading(Folder + "sub"), nullptr);
  EXPECT_EQ(Host.OpenForReading(Folder + "none.txt"), nullptr);
}

TEST_F(Win32Host, NetworkQuestionsAnswerAsFileExistsDoes) {
  fs::create_directories(Native("sub"));
  WriteFile(Native("a.txt"), "x");
  // Wine's server can stall for seconds under a loaded machine; the answers are what counts.
  Host.NetworkBound = std::chrono::seconds(60);
  const std::vector<TExistence> answers = Host.NetworkFilesExist(
      {Folder + "a.txt", Folder + "sub", Folder + "none.txt", "\\\\pikrotta-no-server\\s\\a.bmp"});
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[0], TExistence::Found);
  EXPECT_EQ(answers[1], TExistence::Missing);  // a folder is no file
  EXPECT_EQ(answers[2], TExistence::Missing);
  EXPECT_NE(answers[3], TExistence::Found);
}

// Many paths of a folder are answered from one listing of it, and every answer is the one
// FileExists gives: names in another case, short names, folders, names Windows trims or takes
// as wildcards, streams or devices, a folder that is gone and one that is a file.
TEST_F(Win32Host, AFoldersPathsAnswerAsFileExistsDoesOneByOne) {
  const char* names[] = {"a1.bmp", "Photo Big.JPG", "\x95\x5c\x83\x5c.bmp", "\xb6\xc5.png",
                         "\x82\x81\x82\x82.bmp"};  // 表ソ, ｶﾅ, ａｂ
  for (const char* name : names) WriteFile(Native(name), "x");
  fs::create_directories(Native("dir.bmp"));
  wchar_t shortName[MAX_PATH] = {};
  ::GetShortPathNameW(Native("Photo Big.JPG").c_str(), shortName, MAX_PATH);
  const std::string shortPath = WideToSjis(shortName);
  std::string forward = Folder;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  const std::string parent = Folder + "..\\" + WideToSjis(Root.filename().wstring()) + "\\";
  std::vector<std::string> paths = {shortPath, forward + "a1.bmp", parent + "a1.bmp",
                                    parent + "A2.bmp"};
  for (const char* name : {"a1.bmp",
                           "A1.BMP",
                           "a2.bmp",
                           "photo big.jpg",
                           "Photo Big.JPG",
                           "PHOTO~1.JPG",
                           "zz.bmp",
                           "\x95\x5c\x83\x5c.bmp",
                           "\x95\x5c\x83\x5c.BMP",
                           "\xb6\xc5.PNG",
                           "\x82\x81\x82\x82.bmp",
                           "\x82\x60\x82\x61.bmp",
                           "dir.bmp",
                           "DIR.BMP",
                           "a1.bmp.",
                           "a1.bmp ",
                           "a?.bmp",
                           "*.bmp",
                           "a1.bmp:x",
                           "con.bmp",
                           "a1.bmp\\x.bmp"})
    paths.push_back(Folder + name);
  for (int i = 0; i < 9; ++i) paths.push_back(Folder + "gone\\p" + std::to_string(i) + ".bmp");
  std::vector<bool> oneByOne;
  for (const std::string& path : paths) oneByOne.push_back(Host.FileExists(path));
  const std::vector<bool> together = Host.FilesExist({paths.begin(), paths.end()});
  ASSERT_EQ(together.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(together[i], oneByOne[i]) << paths[i];
  // The case of ASCII letters does not matter to the file system, and a folder is no file.
  EXPECT_TRUE(together[4 + 1]);
  EXPECT_FALSE(together[4 + 12]);
}

// A picture put back with CopyFileW: folders made for it below the drive's root, the bytes
// copied, a file that is there never overwritten, and the system's reason when it fails.
TEST_F(Win32Host, CopyNewFileMakesFoldersAndNeverOverwrites) {
  WriteFile(Native("a.jpg"), "picture bytes");
  WriteFile(Native("b.jpg"), "other");
  const std::string target = Folder + "\x95\x5c\\deeper\\a.jpg";  // 表: its trail byte is 0x5C
  EXPECT_EQ(Host.CopyNewFile(Folder + "a.jpg", target), "");
  EXPECT_EQ(ReadTextFile(Host, target)->Bytes, "picture bytes");
  EXPECT_NE(Host.CopyNewFile(Folder + "b.jpg", target), "");
  EXPECT_EQ(ReadTextFile(Host, target)->Bytes, "picture bytes");
  const std::string reason = Host.CopyNewFile(Folder + "none.jpg", Folder + "c.jpg");
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(Host.FileExists(Folder + "c.jpg"));
  EXPECT_NE(Host.CopyNewFile(Folder + "a.jpg", "Q:\\nowhere\\a.jpg"), "");
}

// Today's dated folders with the stamps set here, compared as the search compares them: the
// packed local DOS date and time.
TEST_F(Win32Host, ListsDatedFoldersWithTheirDosStamps) {
  const TDateTime now = Host.Clock().Now();
  char today[16], yesterday[16];
  std::snprintf(today, sizeof today, "%04d%02d%02d", now.Year, now.Month, now.Day);
  std::snprintf(yesterday, sizeof yesterday, "%04d%02d%02d", now.Year - 1, now.Month, now.Day);
  const WORD date = static_cast<WORD>(((now.Year - 1980) << 9) | (now.Month << 5) | now.Day);
  const struct {
    std::string Name;
    WORD Time;
  } folders[] = {
      {std::string(today) + "-1", (10 << 11) | (15 << 5) | 4},
      {std::string(today) + "-abc", (11 << 11) | (0 << 5) | 0},
      {std::string(today) + "-2", (9 << 11) | (59 << 5) | 29},
      {std::string(yesterday) + "-1", (23 << 11) | (59 << 5) | 29},
  };
  for (const auto& f : folders) {
    fs::create_directories(Native(f.Name));
    FILETIME local{}, utc{};
    ASSERT_TRUE(::DosDateTimeToFileTime(date, f.Time, &local));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &utc));
    TUniqueFile folder(::CreateFileW(Native(f.Name).c_str(), FILE_WRITE_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(folder);
    ASSERT_TRUE(::SetFileTime(folder.get(), nullptr, nullptr, &utc));
  }
  WriteFile(Native(std::string(today) + "-file.txt"), "not a folder");
  std::vector<TFolderEntry> entries = Host.ListFolder(Folder + today + "-*.*");
  std::sort(entries.begin(), entries.end(),
            [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
  ASSERT_EQ(entries.size(), 4u);
  for (size_t i : {0u, 1u, 2u}) {
    const auto& f = folders[i == 0 ? 0 : i == 1 ? 2 : 1];  // listed as -1, -2, -abc
    EXPECT_EQ(entries[i].Name, f.Name);
    EXPECT_TRUE(entries[i].IsFolder);
    EXPECT_EQ(entries[i].DosTime, (date << 16) | f.Time) << f.Name;
  }
  EXPECT_FALSE(entries[3].IsFolder);
  EXPECT_TRUE(Host.ListFolder(Folder + "nowhere\\*.*").empty());

  // The search takes the newest of today's folders.
  TMemoryControls<TNullCanvas> controls;
  TForm1 form(controls, Host);
  form.FormCreate();
  EXPECT_EQ(form.FindNewestTempFolder(Folder), std::string(today) + "-abc");
}

TEST_F(Win32Host, ReplaceFileContentsSwapsInWholeFilesOnly) {
  const std::string path = Folder + "pikrotta.dat";
  EXPECT_TRUE(Host.ReplaceFileContents(path, "1\r\n"));
  EXPECT_TRUE(Host.ReplaceFileContents(path, "2\r\n2\r\n"));
  EXPECT_EQ(ReadTextFile(Host, path)->Bytes, "2\r\n2\r\n");
  EXPECT_FALSE(Host.ReplaceFileContents(Folder + "missing\\x.dat", "x"));
  // A folder where the file should be: the save fails and says so, and leaves nothing.
  fs::create_directories(Native("settings.dat"));
  EXPECT_FALSE(Host.ReplaceFileContents(Folder + "settings.dat", "0\r\n"));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Root)) ++files;
  EXPECT_EQ(files, 2u);  // pikrotta.dat and the folder: no temporary file is left
}

// The identity of the file on disk: a save that truncated and wrote in place would keep it,
// and a reader at that moment would see a short file.
std::pair<DWORD, DWORD> FileIdentity(const std::wstring& path) {
  TUniqueFile file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return {0, 0};
  return {info.nFileIndexHigh, info.nFileIndexLow};
}

TEST_F(Win32Host, ASaveIsANewFileMovedIntoPlace) {
  const std::string path = Folder + "pikrotta.dat";
  ASSERT_TRUE(Host.ReplaceFileContents(path, "1\r\n"));
  const auto before = FileIdentity(SjisToWide(path));
  ASSERT_TRUE(Host.ReplaceFileContents(path, "2\r\n"));
  EXPECT_NE(FileIdentity(SjisToWide(path)), before);
}

TEST_F(Win32Host, ASaveWaitsForAMomentaryHolderOfTheFile) {
  const std::string path = Folder + "pikrotta.dat";
  ASSERT_TRUE(Host.ReplaceFileContents(path, "1\r\n"));
  // Open as a scanner opens it, without letting it be replaced, for a fifth of a second.
  TUniqueFile held(::CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  std::thread release([&] {
    ::Sleep(200);
    held.reset();
  });
  const bool saved = Host.ReplaceFileContents(path, "2\r\n");
  release.join();
  EXPECT_TRUE(saved);
  EXPECT_EQ(ReadTextFile(Host, path)->Bytes, "2\r\n");
}

// A key of the tests' own beside Jw_cad's, so tests running at once do not meet.
class Win32Registry : public ::testing::Test {
 protected:
  // A key of this process's own: the Japanese and the English runs go on at the same time in
  // one registry.
  const std::string Name = "PikrottaTest" + std::to_string(::GetCurrentProcessId()) + ".Document";
  const std::wstring kKey = SjisToWide(Name);
  const std::string kCommand = Name + "\\shell\\open\\command";
  void TearDown() override { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kKey.c_str()); }
  void Set(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, (kKey + L"\\shell\\open\\command").c_str(), 0,
                                nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const TUniqueKey owner(key);
    ASSERT_EQ(::RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void SetString(const std::wstring& value) {
    Set(REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  TWin32Host Host;
};

TEST_F(Win32Registry, QuotedAndUnquotedCommands) {
  SetString(L"\"C:\\JWW\\Jw_win.exe\" \"%1\"");
  EXPECT_EQ(Host.ReadClassesRootDefault(kCommand), "\"C:\\JWW\\Jw_win.exe\" \"%1\"");
  SetString(L"C:\\Jw_cad ソフト\\Jw_win.exe \"%1\"");
  EXPECT_EQ(Host.ReadClassesRootDefault(kCommand),
            "C:\\Jw_cad \x83\x5c\x83\x74\x83\x67\\Jw_win.exe \"%1\"");
}

TEST_F(Win32Registry, ExpandableStringsAreExpanded) {
  ASSERT_TRUE(::SetEnvironmentVariableW(L"PIKROTTA_TEST_JWW", L"D:\\Jw_cad"));
  const std::wstring value = L"\"%PIKROTTA_TEST_JWW%\\Jw_win.exe\" \"%1\"";
  Set(REG_EXPAND_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(Host.ReadClassesRootDefault(kCommand), "\"D:\\Jw_cad\\Jw_win.exe\" \"%1\"");
}

TEST_F(Win32Registry, MissingOrNotAString) {
  EXPECT_FALSE(Host.ReadClassesRootDefault(kCommand));
  const DWORD number = 42;
  Set(REG_DWORD, &number, sizeof number);
  EXPECT_FALSE(Host.ReadClassesRootDefault(kCommand));
  // A string stored without its terminating zero is read as far as it goes.
  Set(REG_SZ, L"C:\\A.exe", 8 * sizeof(wchar_t));
  EXPECT_EQ(Host.ReadClassesRootDefault(kCommand), "C:\\A.exe");
}

TEST(Win32HostSetup, AGivenCommandStandsInForTheRegistry) {
  THostSetup setup;
  setup.JwcadOpenCommand = "C:\\X\\Jw_win.exe";
  const std::unique_ptr<THostServices> host = MakeHost(setup);
  EXPECT_EQ(FindJwcadProgram(*host), "C:\\X\\Jw_win.exe");
}

TEST(Win32HostSetup, ProgramPathIsThisProgram) {
  TWin32Host host;
  const std::string path = host.ProgramFilePath();
  EXPECT_TRUE(path.ends_with(".exe")) << path;
  EXPECT_TRUE(host.FileExists(path));
}

}  // namespace
}  // namespace pikrotta::win32
