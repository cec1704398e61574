#include <gtest/gtest.h>

#include "fake_host.h"
#include "jwcad_lookup.h"
#include "window_settings.h"

namespace pikrotta {
namespace {

using test::TFakeHost;

constexpr const char* kSettings = "C:\\TOOLS\\pikrotta.dat";

TWindowSettings Load(TFakeHost& host, std::string_view text) {
  host.Files[kSettings] = std::string(text);
  return LoadWindowSettings(host, kSettings);
}

TEST(WindowSettings, LoadRaisesToTheMinimaAndReadsZeroForBadLines) {
  TFakeHost host;
  EXPECT_EQ(LoadWindowSettings(host, kSettings), (TWindowSettings{0, 0, 475, 475, 200}));
  EXPECT_EQ(Load(host, "5\r\n6\r\n300\r\n150\r\n50\r\n"), (TWindowSettings{5, 6, 475, 200, 100}));
  EXPECT_EQ(Load(host, "-30\r\n99999\r\n800\r\n600\r\n250\r\n"),
            (TWindowSettings{-30, 99999, 800, 600, 250}));
  EXPECT_EQ(Load(host, "abc\r\nabc\r\nabc\r\nabc\r\nabc\r\n"),
            (TWindowSettings{0, 0, 475, 200, 100}));
  EXPECT_EQ(Load(host, "7\n8\n"), (TWindowSettings{7, 8, 475, 200, 100}));  // missing lines read 0
  EXPECT_EQ(Load(host, ""), (TWindowSettings{0, 0, 475, 200, 100}));
}

TEST(WindowSettings, ReadErrorKeepsWhatWasReadWithoutMinima) {
  TFakeHost host;
  host.FailReads = true;  // the fake gives the first half of the file, then fails
  // "11", "22" and a "33" that may have been cut short: the last one is not trusted.
  EXPECT_EQ(Load(host, "11\r\n22\r\n33\r\n44\r\n55\r\n"), (TWindowSettings{11, 22, 475, 475, 200}));
}

TEST(WindowSettings, SaveWritesFiveLinesAndAFailedSaveKeepsTheOldFile) {
  TFakeHost host;
  EXPECT_TRUE(SaveWindowSettings(host, kSettings, {0, 0, 475, 475, 200}));
  EXPECT_EQ(host.Files[kSettings], "0\r\n0\r\n475\r\n475\r\n200\r\n");
  host.FailWrites = true;
  EXPECT_FALSE(SaveWindowSettings(host, kSettings, {1, 1, 900, 900, 300}));
  EXPECT_EQ(host.Files[kSettings], "0\r\n0\r\n475\r\n475\r\n200\r\n");
}

TEST(FindJwcadProgram, RegisteredCommands) {
  const struct {
    std::optional<std::string> registry;
    std::string program;
  } cases[] = {
      {"C:\\JWW\\Jw_win.exe \"%1\"", "C:\\JWW\\Jw_win.exe"},
      {"C:\\JWW\\Jw_win.exe", "C:\\JWW\\Jw_win.exe"},
      {"\"C:\\Program Files\\JWW\\Jw_win.exe\" \"%1\"", "C:\\Program Files\\JWW\\Jw_win.exe"},
      {"\"C:\\JWW\\Jw_win.exe\"", "C:\\JWW\\Jw_win.exe"},
      {"", ""},
      {std::nullopt, ""},
  };
  for (const auto& c : cases) {
    TFakeHost host;
    host.Registry = c.registry;
    EXPECT_EQ(FindJwcadProgram(host), c.program) << c.registry.value_or("(none)");
  }
}

TEST(ReadAutoSaveFolder, KeyLines) {
  const struct {
    std::string_view file, folder;
  } cases[] = {
      {"AUTOSAVEDIR=D:\\BAK\r\n", "D:\\BAK\\"},
      {"AUTOSAVEDIR = D:\\BAK\\ \r\n", "D:\\BAK\\"},
      {"AUTOSAVEDIR=D:\\BAK\\*\r\n", "D:\\BAK\\"},
      {"AUTOSAVEDIR=\r\n", "\\"},
      {"AUTOSAVEDIR\r\nAUTOSAVEDIR=D:\\LATER\r\n", "C:\\JWW\\"},  // no "=": stop reading
      {"END\r\nAUTOSAVEDIR=D:\\BAK\r\n", "C:\\JWW\\"},
      {"  [x]\r\n\tautosavedir=d:\\low\r\n", "d:\\low\\"},
      {"AUTOSAVEDIR=D:\\A\r\nAUTOSAVEDIR=D:\\B\r\n", "D:\\A\\"},
      {"AutoSaveDirectory=D:\\C\r\n", "D:\\C\\"},          // a longer key matches too
      {"AUTOSAVEDIR=D:\\\x95\x5c\r\n", "D:\\\x95\x5c\\"},  // ends in a trail byte 0x5C
      {"", "C:\\JWW\\"},
  };
  for (const auto& c : cases) {
    TFakeHost host;
    host.Files["C:\\JWW\\jw_win.jwf"] = std::string(c.file);
    EXPECT_EQ(ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf"), c.folder) << c.file;
  }
  TFakeHost none;
  EXPECT_EQ(ReadAutoSaveFolder(none, "C:\\JWW\\jw_win.jwf"), "C:\\JWW\\");
  EXPECT_EQ(ReadAutoSaveFolder(none, "jw_win.jwf"), "");
}

// Before, a read error that cut the key line short gave the cut-off folder (D:\BA\ for
// D:\BAKUP\); now the last line read is not trusted, as in the window settings.
TEST(ReadAutoSaveFolder, ReadErrorDistrustsTheLastLine) {
  TFakeHost host;
  host.FailReads = true;  // the fake gives the first half of the file, then fails
  // 44 bytes: the first 22 end in the middle of the key line, after "D:\BA".
  host.Files["C:\\JWW\\jw_win.jwf"] = "[x]\r\nAUTOSAVEDIR=D:\\BAKUP\\\r\nEND\r\nxxxxxxxxxxx";
  EXPECT_EQ(ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf"), "C:\\JWW\\");
  host.Files["C:\\JWW\\jw_win.jwf"] = "AUTOSAVEDIR=D:\\BAK\r\n" + std::string(40, 'x');
  EXPECT_EQ(ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf"), "D:\\BAK\\");
}

}  // namespace
}  // namespace pikrotta
