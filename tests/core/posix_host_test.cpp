#include "posix_host.h"

#include <gtest/gtest.h>

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

TEST_F(PosixHost, ListsMatchingEntriesWithTheirStamps) {
  const auto entries = Host.ListFolder("C:\\JWW\\BAK\\20261208-*.*");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "20261208-1");
  EXPECT_TRUE(entries[0].IsFolder);
  EXPECT_GT(entries[0].DosTime >> 25, 40);  // years since 1980
  EXPECT_TRUE(Host.ListFolder("C:\\JWW\\BAK\\20261209-*.*").empty());
  EXPECT_TRUE(Host.ListFolder("C:\\NOWHERE\\*.*").empty());
}

TEST_F(PosixHost, ReplaceFileSwapsInACompleteFile) {
  EXPECT_TRUE(Host.ReplaceFile("C:\\JWW\\a.dat", "1\r\n"));
  EXPECT_TRUE(Host.ReplaceFile("C:\\JWW\\a.dat", "2\r\n"));
  EXPECT_EQ(Host.ReadTextFile("C:\\JWW\\a.dat")->Bytes, "2\r\n");
  EXPECT_FALSE(fs::exists(Root / "JWW" / "a.dat.new"));
  EXPECT_FALSE(Host.ReplaceFile("C:\\MISSING\\a.dat", "x"));
  EXPECT_FALSE(Host.ReadTextFile("C:\\JWW\\none.dat").has_value());
}

TEST(MatchesWildcard, DosPatterns) {
  EXPECT_TRUE(MatchesWildcard("20261208-1", "20261208-*.*"));
  EXPECT_TRUE(MatchesWildcard("20261208-1.x", "20261208-*.*"));
  EXPECT_FALSE(MatchesWildcard("20261208x1", "20261208-*.*"));
  EXPECT_TRUE(MatchesWildcard("ab", "a?"));
  EXPECT_FALSE(MatchesWildcard("abc", "a?"));
  EXPECT_TRUE(MatchesWildcard("ABC", "abc"));
}

}  // namespace
}  // namespace pikrotta
