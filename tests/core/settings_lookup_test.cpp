#include <gtest/gtest.h>

#include <cstring>

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

// A file of a given length that is never held in memory: a head, filler bytes, a tail. It
// counts what is read of it.
class TGeneratedFile : public TInputFile {
 public:
  TGeneratedFile(std::string head, uint64_t filler, std::string tail, uint64_t& read)
      : Head(std::move(head)), Tail(std::move(tail)), Filler(filler), BytesRead(read) {}
  int64_t Read(char* buffer, size_t size) override {
    const uint64_t total = Head.size() + Filler + Tail.size();
    const size_t n = static_cast<size_t>(std::min<uint64_t>(size, total - Pos));
    for (size_t i = 0; i < n;) {
      if (Pos >= Head.size() && Pos < Head.size() + Filler) {  // a run of filler at once
        const size_t run =
            static_cast<size_t>(std::min<uint64_t>(n - i, Head.size() + Filler - Pos));
        std::memset(buffer + i, 'x', run);
        i += run;
        Pos += run;
      } else {
        buffer[i++] = Pos < Head.size() ? Head[Pos] : Tail[Pos - Head.size() - Filler];
        ++Pos;
      }
    }
    BytesRead += n;
    return static_cast<int64_t>(n);
  }

 private:
  std::string Head, Tail;
  uint64_t Filler, Pos = 0;
  uint64_t& BytesRead;
};

class TGeneratedHost : public TFakeHost {
 public:
  std::unique_ptr<TInputFile> OpenForReading(const std::string&) const override {
    return std::make_unique<TGeneratedFile>(Head, Filler, Tail, BytesRead);
  }
  bool FileExists(const std::string&) const override { return true; }
  std::string Head, Tail;
  uint64_t Filler = 0;
  mutable uint64_t BytesRead = 0;
};

TEST(ReadAutoSaveFolder, StopsAtTheKeyAndKeepsNoHugeLine) {
  TGeneratedHost host;
  host.Head = "[JW_WIN]\r\nAUTOSAVEDIR=D:\\BAK\r\n";
  host.Filler = uint64_t{4} << 30;  // 4 GiB after the key
  EXPECT_EQ(ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf"), "D:\\BAK\\");
  EXPECT_LT(host.BytesRead, uint64_t{1} << 20);
  // A line of 300 MB before the key costs a line's worth of memory, not the file's.
  host.Head = "[JW_WIN]\r\n";
  host.Filler = 300'000'000;
  host.Tail = "\r\nAUTOSAVEDIR=D:\\LATE\r\n";
  host.BytesRead = 0;
  EXPECT_EQ(ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf"), "D:\\LATE\\");
}

TEST(WindowSettings, AHugeFileIsReadOnlyAsFarAsSettingsGo) {
  TGeneratedHost host;
  host.Head = "10\r\n20\r\n600\r\n500\r\n250\r\n";
  host.Filler = 300'000'000;
  EXPECT_EQ(LoadWindowSettings(host, kSettings), (TWindowSettings{10, 20, 600, 500, 250}));
  EXPECT_LE(host.BytesRead, 4096u);
}

TEST(TextLineReader, SplitsAsSplitTextLinesInPiecesOfAnySize) {
  const std::string_view texts[] = {
      "", "a", "a\r\nb", "a\r\n", "\r\n\r\n", "a\rb\nc\r\nd", "\r", "\n", "a\r\r\nb\n\r",
  };
  for (const std::string_view text : texts)
    for (size_t piece : {1, 2, 3, 1000}) {
      test::TMemoryInputFile file{std::string(text)};
      file.Piece = piece;
      TTextLineReader reader(file, 100);
      std::vector<std::string> lines;
      for (std::string line; reader.Next(line);) lines.push_back(line);
      EXPECT_EQ(lines, SplitTextLines(text)) << "piece " << piece;
      EXPECT_FALSE(reader.Failed());
    }
}

TEST(TextLineReader, KeepsTheStartOfLongLinesAndTellsOfReadErrors) {
  test::TMemoryInputFile file{"abcdef\r\nxy\r\nlast line", 14};  // fails after "la"
  TTextLineReader reader(file, 3);
  std::vector<std::string> lines;
  for (std::string line; reader.Next(line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"abc", "xy", "la"}));
  EXPECT_TRUE(reader.Failed());
}

}  // namespace
}  // namespace pikrotta
