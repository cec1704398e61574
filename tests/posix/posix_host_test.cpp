#include "posix_host.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

namespace pikrotta {
namespace {

namespace fs = std::filesystem;

class PosixHost : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = fs::temp_directory_path() / ("pikrotta-host-" + std::to_string(std::random_device{}()));
    fs::create_directories(Root / "JWW" / "BAK" / "20261208-1");
    std::ofstream(Root / "JWW" / "jw_win.jwf") << "AUTOSAVEDIR=C:\\JWW\\BAK\r\n";
    std::ofstream(Root / "JWW" / "\xe5\x9b\xb3.bmp") << "x";  // 図.bmp
    Host.Drives['C'] = Root;
  }
  void TearDown() override { fs::remove_all(Root); }
  fs::path Root;
  TPosixHost Host;
};

TEST_F(PosixHost, MapsDrivesAndFindsNothingElsewhere) {
  EXPECT_TRUE(Host.FileExists("C:\\JWW\\jw_win.jwf"));
  EXPECT_TRUE(Host.FileExists("c:\\JWW\\\x90\x7d.bmp"));  // Shift-JIS name, lower-case drive
  EXPECT_FALSE(Host.FileExists("C:\\JWW"));               // a folder is no file
  EXPECT_TRUE(Host.FolderExists("C:\\JWW\\BAK\\"));
  EXPECT_FALSE(Host.FileExists("D:\\JWW\\jw_win.jwf"));
  EXPECT_FALSE(Host.FileExists("\\\\server\\share\\jw_win.jwf"));
  EXPECT_TRUE(Host.NativePath("\\\\server\\x").empty());
}

// The mapped folder is the whole drive: ".." climbs no higher than its root, as on Windows,
// and a path without a drive leads nowhere, whatever the host holds there.
TEST_F(PosixHost, NoPathLeavesTheMappedDrive) {
  const fs::path outside = Root.parent_path() / (Root.filename().string() + "-outside.txt");
  std::ofstream(outside) << "secret";
  const std::string above = "C:\\..\\" + outside.filename().string();
  const struct {
    std::string path;
    bool found;
  } cases[] = {
      {"C:\\JWW\\..\\JWW\\.\\jw_win.jwf", true},
      {"C:\\..\\..\\..\\JWW\\jw_win.jwf", true},  // ".." at the root stays there
      {above, false},
      {"C:\\JWW\\..\\..\\" + outside.filename().string(), false},
      {outside.string(), false},  // the host's own path, without a drive
      {"/etc/passwd", false},
      {"JWW\\jw_win.jwf", false},
      {"C:", false},
  };
  for (const auto& c : cases) EXPECT_EQ(Host.FileExists(c.path), c.found) << c.path;
  EXPECT_EQ(Host.OpenForReading(above), nullptr);
  fs::remove(outside);
}

// What Windows opens as a device is no file here either, and a long prefix names the same
// path as without it: the command line marks such rows as the window does.
TEST_F(PosixHost, DevicesAreNoFilesAndLongPrefixesAreLocal) {
  std::ofstream(Root / "JWW" / "CON") << "x";
  std::ofstream(Root / "JWW" / "nul.bmp") << "x";
  EXPECT_FALSE(Host.FileExists("C:\\JWW\\CON"));
  EXPECT_FALSE(Host.FileExists("C:\\JWW\\nul.bmp"));
  EXPECT_TRUE(Host.FileExists("\\\\?\\C:\\JWW\\jw_win.jwf"));
  EXPECT_TRUE(Host.FileExists("\\\\.\\C:\\JWW\\jw_win.jwf"));
  EXPECT_FALSE(Host.FileExists("\\\\?\\UNC\\srv\\s\\jw_win.jwf"));
}

TEST_F(PosixHost, OpensFilesButNotFolders) {
  EXPECT_EQ(ReadTextFile(Host, "C:\\JWW\\\x90\x7d.bmp")->Bytes, "x");
  EXPECT_EQ(Host.OpenForReading("C:\\JWW"), nullptr);
  EXPECT_EQ(Host.OpenForReading("C:\\JWW\\none.txt"), nullptr);
  EXPECT_EQ(OpenNativeFile(Root), nullptr);
}

TEST_F(PosixHost, ListsMatchingEntriesWithTheirStamps) {
  const auto entries = Host.ListFolder("C:\\JWW\\BAK\\20261208-*.*");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "20261208-1");
  EXPECT_TRUE(entries[0].IsFolder);
  EXPECT_GT(entries[0].DosTime >> 25, 40);  // years since 1980
  EXPECT_TRUE(Host.ListFolder("C:\\JWW\\BAK\\20261209-*.*").empty());
  EXPECT_TRUE(Host.ListFolder("C:\\NOWHERE\\*.*").empty());
}

// Many paths of one folder are answered from one listing of it, each exactly as FileExists
// answers it alone: plain files, folders, links, devices, names whose Shift-JIS trail byte
// is a backslash, other separators and folders that are missing or are files.
TEST_F(PosixHost, PathsAskedTogetherGetTheAnswersOfPathsAskedAlone) {
  const fs::path img = Root / "IMG";
  fs::create_directories(img / "dir.bmp");
  for (int i = 0; i < 12; i += 2) std::ofstream(img / ("p" + std::to_string(i) + ".bmp")) << "x";
  std::ofstream(img / "\xe8\xa1\xa8.bmp") << "x";      // 表.bmp, 0x95 0x5C in Shift-JIS
  std::ofstream(img / "\xe8\xa1\xa8\x33.bmp") << "x";  // 表3.bmp
  std::ofstream(img / "con.bmp") << "x";
  std::ofstream(img / "a.bmp.") << "x";
  fs::create_symlink(img / "p0.bmp", img / "link.bmp");
  fs::create_symlink(img / "none.bmp", img / "dangling.bmp");
  fs::create_symlink(img / "dir.bmp", img / "dirlink.bmp");
  ASSERT_EQ(::mkfifo((img / "fifo.bmp").c_str(), 0600), 0);
  std::ofstream(Root / "plain.txt") << "x";
  std::vector<std::string> paths;
  for (int i = 0; i < 12; ++i) paths.push_back("C:\\IMG\\p" + std::to_string(i) + ".bmp");
  for (const char* name : {"\x95\x5c.bmp", "\x95\x5c.BMP", "\x95\x5c", "P0.bmp", "dir.bmp",
                           "link.bmp", "dangling.bmp", "dirlink.bmp", "fifo.bmp", "con.bmp", "CON",
                           "a.bmp.", "a.bmp", "dir.bmp\\", ".", "..", "p0.bmp\\x.bmp"})
    paths.push_back(std::string("C:\\IMG\\") + name);
  for (const char* path : {"C:\\JWW\\..\\IMG\\p2.bmp", "C:\\IMG/p4.bmp", "C:\\IMG\\.\\p6.bmp",
                           "\\\\?\\C:\\IMG\\p8.bmp", "c:\\IMG\\p10.bmp", "D:\\IMG\\p0.bmp",
                           "C:p0.bmp", "IMG\\p0.bmp", "C:\\plain.txt\\p0.bmp"})
    paths.push_back(path);
  for (int i = 0; i < 9; ++i) paths.push_back("C:\\GONE\\p" + std::to_string(i) + ".bmp");
  // Enough names after a trail byte 0x5C to be listed, were it taken for a backslash.
  for (int i = 0; i < 9; ++i) paths.push_back("C:\\IMG\\\x95\x5c" + std::to_string(i) + ".bmp");
  for (int i = 0; i < 9; ++i) paths.push_back("C:\\plain.txt\\p" + std::to_string(i) + ".bmp");
  std::vector<bool> oneByOne;
  for (const std::string& path : paths) oneByOne.push_back(Host.FileExists(path));
  const std::vector<bool> together = Host.FilesExist({paths.begin(), paths.end()});
  ASSERT_EQ(together.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(together[i], oneByOne[i]) << paths[i];
  // What the answers are, so that both ways cannot be wrong alike.
  const std::vector<bool> expected = {true,  false, true,  false, true,  false, true,  false,
                                      true,  false, true,  false, true,  false, false, false,
                                      false, true,  false, false, false, false, false, true};
  EXPECT_EQ(std::vector<bool>(together.begin(), together.begin() + 24), expected);
  EXPECT_TRUE(together[12 + 17 + 3]);          // "\\?\C:\IMG\p8.bmp"
  EXPECT_FALSE(together[12 + 17 + 5]);         // another drive
  EXPECT_TRUE(together[12 + 17 + 9 + 9 + 3]);  // "C:\IMG\表3.bmp"
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A picture put back: copied with its bytes into folders made for it, never over a file that
// is there, never outside the mapped drive.
TEST_F(PosixHost, CopyNewFileMakesFoldersAndNeverOverwrites) {
  std::ofstream(Root / "JWW" / "a.jpg") << "picture bytes";
  EXPECT_EQ(Host.CopyNewFile("C:\\JWW\\a.jpg", "C:\\JWW\\new\\deeper\\a.jpg"), "");
  EXPECT_EQ(Contents(Root / "JWW" / "new" / "deeper" / "a.jpg"), "picture bytes");
  // There now: a second copy is refused and the file keeps its bytes.
  std::ofstream(Root / "JWW" / "b.jpg") << "other";
  EXPECT_NE(Host.CopyNewFile("C:\\JWW\\b.jpg", "C:\\JWW\\new\\deeper\\a.jpg"), "");
  EXPECT_EQ(Contents(Root / "JWW" / "new" / "deeper" / "a.jpg"), "picture bytes");
  EXPECT_NE(Host.CopyNewFile("C:\\JWW\\none.jpg", "C:\\JWW\\c.jpg"), "");
  EXPECT_FALSE(fs::exists(Root / "JWW" / "c.jpg"));
  EXPECT_NE(Host.CopyNewFile("C:\\JWW\\a.jpg", "D:\\a.jpg"), "");
  EXPECT_NE(Host.CopyNewFile("C:\\JWW\\a.jpg", "C:\\JWW\\nul.jpg"), "");
  Host.Drives['E'] = Root / "no-such-drive";
  EXPECT_NE(Host.CopyNewFile("C:\\JWW\\a.jpg", "E:\\x\\a.jpg"), "");
  EXPECT_FALSE(fs::exists(Root / "no-such-drive"));
}

TEST_F(PosixHost, ReplaceFileSwapsInACompleteFile) {
  EXPECT_TRUE(Host.ReplaceFileContents("C:\\JWW\\a.dat", "1\r\n"));
  EXPECT_TRUE(Host.ReplaceFileContents("C:\\JWW\\a.dat", "2\r\n"));
  EXPECT_EQ(ReadTextFile(Host, "C:\\JWW\\a.dat")->Bytes, "2\r\n");
  EXPECT_FALSE(fs::exists(Root / "JWW" / "a.dat.new"));
  EXPECT_FALSE(Host.ReplaceFileContents("C:\\MISSING\\a.dat", "x"));
  EXPECT_FALSE(ReadTextFile(Host, "C:\\JWW\\none.dat").has_value());
}

// Before, a folder at the settings path made the save report true: the rename failed, and
// removing the temporary file cleared the error. It is false now, and nothing is left behind.
TEST_F(PosixHost, ReplaceFileFailsOnAFolderAndLeavesNoTemporaryFile) {
  fs::create_directories(Root / "JWW" / "pikrotta.dat");
  EXPECT_FALSE(Host.ReplaceFileContents("C:\\JWW\\pikrotta.dat", "0\r\n"));
  EXPECT_TRUE(fs::is_directory(Root / "JWW" / "pikrotta.dat"));
  for (const auto& entry : fs::directory_iterator(Root / "JWW"))
    EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}

// The temporary name was always "<file>.new": a link planted there made the save write
// through it, and a stale one from a killed save was simply reused.
TEST_F(PosixHost, ReplaceFileNeverWritesThroughAPlantedLink) {
  const fs::path victim = Root / "victim.txt";
  std::ofstream(victim) << "keep me";
  fs::create_symlink(victim, Root / "JWW" / "a.dat.new");
  std::ofstream(Root / "JWW" / "a.dat.tmp") << "stale";
  EXPECT_TRUE(Host.ReplaceFileContents("C:\\JWW\\a.dat", "1\r\n"));
  EXPECT_EQ(ReadTextFile(Host, "C:\\JWW\\a.dat")->Bytes, "1\r\n");
  std::ifstream in(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

// Saves killed before their rename left their temporary files for good; the next save clears
// those of its own pattern that are old, and nothing else.
TEST_F(PosixHost, ASaveClearsTemporaryFilesThatKilledSavesLeft) {
  const fs::path folder = Root / "JWW";
  const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  const char* stale[] = {"a.dat.0123456789abcdef.tmp", "a.dat.fedcba9876543210.tmp"};
  const char* kept[] = {"a.dat.00112233445566ff.tmp",  // recent: a save may be under way
                        "a.dat.tmp", "a.dat.0123456789ABCDEF.tmp", "b.dat.0123456789abcdef.tmp",
                        "a.dat.0123456789abcde.tmp"};
  for (const char* name : stale) {
    std::ofstream(folder / name) << "x";
    fs::last_write_time(folder / name, hourAgo);
  }
  for (const char* name : kept) {
    std::ofstream(folder / name) << "x";
    if (std::string_view(name) != kept[0]) fs::last_write_time(folder / name, hourAgo);
  }
  ASSERT_TRUE(Host.ReplaceFileContents("C:\\JWW\\a.dat", "1\r\n"));
  for (const char* name : stale) EXPECT_FALSE(fs::exists(folder / name)) << name;
  for (const char* name : kept) EXPECT_TRUE(fs::exists(folder / name)) << name;
}

// Two programs saving at once tore the file: a read-back found it empty or with the lines of
// both. Every read-back must now be one whole content or the other.
TEST_F(PosixHost, TwoProcessesSavingAtOnceNeverTearTheFile) {
  const char* env = std::getenv("PIKROTTA_SAVE_ROUNDS");
  const int rounds = env ? std::atoi(env) : 500;
  const std::string contents[2] = {"0\r\n0\r\n475\r\n475\r\n200\r\n",
                                   "-12345\r\n678\r\n1024\r\n768\r\n300\r\n"};
  const fs::path native = Root / "JWW" / "pikrotta.dat";
  pid_t children[2];
  for (int who = 0; who < 2; ++who) {
    children[who] = fork();
    ASSERT_GE(children[who], 0);
    if (children[who] > 0) continue;
    int torn = 0;
    for (int i = 0; i < rounds; ++i) {
      if (!Host.ReplaceFileContents("C:\\JWW\\pikrotta.dat", contents[who])) ++torn;
      std::ifstream in(native, std::ios::binary);
      const std::string back(std::istreambuf_iterator<char>(in), {});
      if (back != contents[0] && back != contents[1]) ++torn;
    }
    _exit(torn == 0 ? 0 : 1);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a read-back was torn";
  }
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Root / "JWW")) ++files;
  EXPECT_EQ(files, 4u);  // BAK, jw_win.jwf, the image and the settings file: no temporaries
}

}  // namespace
}  // namespace pikrotta
