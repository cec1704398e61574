#include "host_services.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace pikrotta {
namespace {

TEST(MatchesWildcard, PatternsAsFindFirstFileMatchesThem) {
  struct {
    const char* Name;
    const char* Pattern;
    bool Matches;
  } const cases[] = {
      {"20261208-1", "20261208-*.*", true},
      {"20261208-1.x", "20261208-*.*", true},  // "*.*" takes names with or without a dot
      {"20261208-", "20261208-*.*", true},
      {"20261208x1", "20261208-*.*", false},
      {"20261207-1", "20261208-*.*", false},
      {"ab", "a?", true},
      {"abc", "a?", false},
      {"ABC", "abc", true},  // letters without case
      {"abc", "ab", false},
      // Double-byte characters are whole: "?" takes one, a trail byte never matches alone,
      // and trail bytes that look like letters keep their case (ア is 83 41, ャ is 83 61).
      {"\x83\x41", "?", true},
      {"\x83\x41", "??", false},
      {"\x83\x41", "*A", false},
      {"\x83\x41", "\x83\x61", false},
      {"x\x83\x41y", "x*y", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesWildcard(c.Name, c.Pattern), c.Matches) << c.Name << " ~ " << c.Pattern;
}

TEST(ReadTextFile, WholeFileOrWhatCameBeforeAnError) {
  test::TFakeHost host;
  host.Files["C:\\a.txt"] = "line 1\r\nline 2\r\n";
  const std::optional<TFileText> whole = ReadTextFile(host, "C:\\a.txt");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->Bytes, "line 1\r\nline 2\r\n");
  EXPECT_TRUE(whole->Complete);
  host.FailReads = true;
  const std::optional<TFileText> part = ReadTextFile(host, "C:\\a.txt");
  ASSERT_TRUE(part);
  EXPECT_EQ(part->Bytes, "line 1\r\n");
  EXPECT_FALSE(part->Complete);
  EXPECT_FALSE(ReadTextFile(host, "C:\\b.txt"));
}

TEST(IsDeviceName, ReservedNamesInAnyCaseWithOrWithoutExtension) {
  const struct {
    const char* path;
    bool device;
  } cases[] = {
      {"CON", true},
      {"nul", true},
      {"nul.bmp", true},
      {"C:\\JWW\\Con", true},
      {"C:\\JWW\\aux .txt", true},
      {"COM1", true},
      {"lpt9.jpg", true},
      {"CONIN$", true},
      {"conout$.x", true},
      {"a/prn", true},
      {"COM0", false},
      {"COM10", false},
      {"CONSOLE", false},
      {"NULL.bmp", false},
      {"C:\\CON\\a.bmp", false},
      {"", false},
      {"\x95\x5c"
       "CON",
       false},  // 表CON: the backslash is a trail byte
  };
  for (const auto& c : cases) EXPECT_EQ(IsDeviceName(c.path), c.device) << c.path;
}

TEST(LocalPrefixLength, LongAndDevicePrefixesOfLocalPaths) {
  EXPECT_EQ(LocalPrefixLength("\\\\?\\C:\\a.bmp"), 4u);
  EXPECT_EQ(LocalPrefixLength("\\\\.\\C:\\a.bmp"), 4u);
  EXPECT_EQ(LocalPrefixLength("\\\\?\\UNC\\srv\\s\\a.bmp"), 0u);  // a network path
  EXPECT_EQ(LocalPrefixLength("\\\\?\\unc\\srv\\s\\a.bmp"), 0u);
  EXPECT_EQ(LocalPrefixLength("\\\\srv\\s\\a.bmp"), 0u);
  EXPECT_EQ(LocalPrefixLength("C:\\a.bmp"), 0u);
}

}  // namespace
}  // namespace pikrotta
