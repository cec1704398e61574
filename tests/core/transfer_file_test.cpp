#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "transfer_test_util.h"

namespace pikrotta {
namespace {

using test::ReadTransferText;
using test::TMemoryInputFile;

bool ReadFile(TJwwGaibu& m, std::string bytes, size_t failAt = std::string::npos) {
  TMemoryInputFile file(std::move(bytes), failAt);
  return ReadTransferFile(m, file);
}

TEST(TransferFile, MissingFileLeavesTheModelAsItWas) {
  TJwwGaibu m = ReadTransferText("0 0 1 1\n");
  const TJwwGaibu before = m;
  const test::TFakeHost host;
  EXPECT_FALSE(ReadTransferFile(m, host, "C:\\TOOLS\\JWC_TEMP.TXT"));
  EXPECT_EQ(m, before);
}

TEST(TransferFile, ReadsEveryLineIncludingTheLastWithoutLineEnd) {
  TJwwGaibu m;
  EXPECT_TRUE(ReadFile(m, "file=a.jww\r\n0 0 1 1\r\nci 0 0 5"));
  EXPECT_EQ(m.JwwFileName, "a.jww");
  EXPECT_EQ(m.JwwLineCount, 1);
  EXPECT_EQ(m.JwwCircleCount, 1);
}

TEST(TransferFile, EmptyFileGivesAnEmptyModel) {
  TJwwGaibu m;
  EXPECT_TRUE(ReadFile(m, ""));
  EXPECT_EQ(m, TJwwGaibu{});
}

TEST(TransferFile, ReadErrorKeepsTheLinesReadBefore) {
  const std::string text = "0 0 1 1\r\nci 0 0 5\r\n0 0 2 2\r\n";
  TJwwGaibu m;
  EXPECT_FALSE(ReadFile(m, text, text.find("ci")));
  EXPECT_EQ(m.JwwLineCount, 1);
  EXPECT_EQ(m.JwwCircleCount, 0);  // the line broken off by the error is not applied
}

TEST(TransferFile, LinesLongerThanOneReadChunk) {
  // A text line of 3 MiB spans several read chunks; the record keeps its first 255 bytes.
  std::string big = "ch 0 0 1 0 " + std::string(3 << 20, 'x') + "\nci 0 0 1\n";
  TJwwGaibu m;
  EXPECT_TRUE(ReadFile(m, big));
  ASSERT_EQ(m.JwwTextCount, 1);
  EXPECT_EQ(m.JwwTexts[0].Text, std::string(255, 'x'));
  EXPECT_EQ(m.JwwCircleCount, 1);
}

TEST(TransferFile, FiftyMegabyteSingleLine) {
  std::string big(50u << 20, '7');
  for (size_t i = 1; i < big.size(); i += 97) big[i] = ' ';
  TJwwGaibu m;
  EXPECT_TRUE(ReadFile(m, big));
  EXPECT_EQ(m.JwwOrderCount, 0);  // hundreds of thousands of fields match no rule
}

// Jw_cad writes the file in UTF-8, with a byte-order mark, when its batch file has one. Read
// as Shift-JIS, the mark became part of the first key and the Japanese texts garbage; it is
// converted now, however the reads cut its characters.
TEST(TransferFile, Utf8WithAByteOrderMarkIsConverted) {
  const std::string utf8 =
      "\xEF\xBB\xBF"
      "file=C:\\図面\\表.jww\r\nch 0 0 10 0 ^@BMソ\\図.bmp,10\r\nci 0 0 5";
  const test::TFakeHost host;
  TJwwGaibu whole;
  {
    TMemoryInputFile file(utf8);
    ASSERT_TRUE(ReadTransferFile(whole, file, &host));
  }
  EXPECT_EQ(whole.JwwFileName, "C:\\\x90\x7d\x96\xca\\\x95\x5c.jww");
  ASSERT_EQ(whole.JwwTextCount, 1);
  EXPECT_EQ(whole.JwwTexts[0].Text, "^@BM\x83\x5c\\\x90\x7d.bmp,10");
  EXPECT_EQ(whole.JwwCircleCount, 1);
  for (size_t piece = 1; piece <= 5; ++piece) {
    TMemoryInputFile file(utf8);
    file.Piece = piece;
    TJwwGaibu m;
    EXPECT_TRUE(ReadTransferFile(m, file, &host));
    EXPECT_EQ(m, whole) << "reads of " << piece;
  }
  // Without a mark the bytes are Shift-JIS as always, whatever a converter would make of them.
  TMemoryInputFile sjis("file=\x95\x5c.jww");
  TJwwGaibu m;
  ASSERT_TRUE(ReadTransferFile(m, sjis, &host));
  EXPECT_EQ(m.JwwFileName, "\x95\x5c.jww");
}

TEST(TransferFile, ShortReadsGiveTheSameModel) {
  const std::string text = "lc3\r\n0 0 1 1\r\nch 0 0 1 0 \"a b\r\nci 0 0 5";
  TJwwGaibu whole;
  ASSERT_TRUE(ReadFile(whole, text));
  TMemoryInputFile file(text);
  file.Piece = 3;
  TJwwGaibu m;
  EXPECT_TRUE(ReadTransferFile(m, file));
  EXPECT_EQ(m, whole);
}

TEST(TransferFile, ProgressHearsEveryReadAndCanStopTheReading) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "0 0 1 1\n";  // 8,000 bytes, read 3,000 at a time
  TMemoryInputFile file(text);
  file.Piece = 3000;
  TJwwGaibu m;
  std::vector<int64_t> heard;
  EXPECT_TRUE(ReadTransferFile(m, file, nullptr, [&](int64_t bytes) {
    heard.push_back(bytes);
    return true;
  }));
  EXPECT_EQ(heard, (std::vector<int64_t>{3000, 6000, 8000}));
  EXPECT_EQ(m.JwwLineCount, 1000);

  // Stopped after the first read: false, and only the lines of that read were applied.
  TMemoryInputFile again(text);
  again.Piece = 3000;
  TJwwGaibu stopped;
  EXPECT_FALSE(ReadTransferFile(stopped, again, nullptr, [](int64_t) { return false; }));
  EXPECT_EQ(stopped.JwwLineCount, 375);
}

// Lines of every kind that a four-number line may be mistaken for or changed by, over
// several megabytes, so that large reads have their four-number lines read ahead.
std::string LinesAheadMix(size_t bytes) {
  const char* lines[] = {
      "12.5 -3 4.25 0.0001\r\n",
      "lc3\r\n",
      "1 2 3 4\n",
      "pl\r\n",
      "5 6 7 8\r\n",
      "#\r\n",
      "msg\r\n",
      "9 8 7 6\r\n",
      "ch 0 0 1 0 \"a b\r\n",
      "file=x 1 2 3\r\n",
      "1\t2 3 4\r\n",
      "1 2 3\r\n",
      "1 2 3 4 5\r\n",
      "-1e3 .5 +2 x\r\n",
      "\r\n",
      "1  2 3 4 \r\n",
      "ci 0 0 5\r\n",
      "1.5 \"2\" 3 4\r\n",
      "1e400 2 3 4\r\n",
      "\x82\xa0 2 3 4\r\n",
  };
  std::string text;
  for (size_t i = 0; text.size() < bytes; ++i) text += lines[(i * 7 + i / 3) % std::size(lines)];
  return text;
}

TEST(TransferFile, LargeReadsGiveTheModelOfTheLinesOneByOne) {
  const std::string mix = LinesAheadMix(3 << 20);
  const TJwwGaibu expected = ReadTransferText(mix);
  ASSERT_GT(expected.JwwLineCount, 100000);
  // Pieces at, just over and well over the size read ahead, and the whole read chunk; lines,
  // CR LF pairs and characters cut at every kind of place.
  for (const size_t piece :
       {size_t{64} << 10, (size_t{64} << 10) + 7, size_t{100003}, size_t{1} << 20}) {
    TMemoryInputFile file(mix);
    file.Piece = piece;
    TJwwGaibu m;
    EXPECT_TRUE(ReadTransferFile(m, file));
    EXPECT_EQ(m, expected) << "reads of " << piece;
  }
  // The end-of-file byte in the middle of a large read ends the drawing there.
  std::string ended = mix;
  ended[ended.size() / 2] = '\x1A';
  TMemoryInputFile file(ended);
  TJwwGaibu m;
  EXPECT_TRUE(ReadTransferFile(m, file));
  EXPECT_EQ(m, ReadTransferText(ended));
}

TEST(TransferFile, LargeReadsStoppedOrBrokenOffKeepEveryLineRead) {
  const std::string mix = LinesAheadMix(3 << 20);
  const size_t piece = 200000;
  auto linesOf = [&](size_t bytes) {
    TJwwGaibu model;
    TTransferLineFeeder feeder(model);
    feeder.Feed(std::string_view(mix).substr(0, bytes));  // no Finish: a cut line waits
    return model;
  };
  // A read error after three reads, the third still held: the lines of all three are applied.
  TMemoryInputFile broken(mix, 3 * piece);
  broken.Piece = piece;
  TJwwGaibu m;
  EXPECT_FALSE(ReadTransferFile(m, broken));
  EXPECT_EQ(m, linesOf(3 * piece));
  // Stopped after the second read: the lines of both reads are applied.
  TMemoryInputFile stopped(mix);
  stopped.Piece = piece;
  TJwwGaibu s;
  EXPECT_FALSE(ReadTransferFile(s, stopped, nullptr, [](int64_t bytes) { return bytes < 400000; }));
  EXPECT_EQ(s, linesOf(2 * piece));
}

TEST(TransferFeeder, LineEnds) {
  // CR LF and LF end lines; a lone CR stays in the line, where the splitter drops it.
  EXPECT_EQ(ReadTransferText("0 0 1 1\r\n2 2 3 3\n").JwwLineCount, 2);
  EXPECT_EQ(ReadTransferText("0 0 1 1\r2 2 3 3\r").JwwLineCount, 0);  // one line of 7 fields
  EXPECT_EQ(ReadTransferText("0 0 1\r 1").JwwLineCount, 1);           // "0 0 1 1"
}

TEST(TransferFeeder, EndOfFileByteStopsReading) {
  const TJwwGaibu m = ReadTransferText("0 0 1 1\n2 2\x1A 3 3\nci 0 0 1\n");
  EXPECT_EQ(m.JwwLineCount, 1);
  EXPECT_EQ(m.JwwCircleCount, 0);
  EXPECT_EQ(ReadTransferText("0 0 1 1\x1A").JwwLineCount, 1);
}

TEST(TransferFeeder, LoneLeadByteAtTheEndOfTheFile) {
  const TJwwGaibu m = ReadTransferText("ch 0 0 1 0 ab\x82");
  ASSERT_EQ(m.JwwTextCount, 1);
  EXPECT_EQ(m.JwwTexts[0].Text, "ab");
  // Before a CR LF the lead byte is just as alone.
  EXPECT_EQ(ReadTransferText("ch 0 0 1 0 ab\x82\r\n").JwwTexts[0].Text, "ab");
}

TEST(TransferFeeder, ChunkBoundariesDoNotMatter) {
  const std::string text =
      "file=C:\\a b\\c.jww\r\nlc3\r\npl\r\n0 0 1 1\r\n1 1 2 2\r\nch 0 0 1 0 \"x \x82\xA0 y\r\n"
      "msg\r\n0 0 5 5\r\ncs 1 1 1 0 z\r\nsl 0 0 1 0 1 1 0 1\r\n"
      // A lone CR stays in the line: after a lead byte it is the trail byte.
      "ch 0 0 1 0 q\x82\r\n0 0 1\r 1\r\nch 0 0 1 0 r\x82\r 1\r\nci 0 0 3 0 90 1 0\r";
  const TJwwGaibu whole = ReadTransferText(text);
  ASSERT_EQ(whole.JwwOrderCount, 9);
  EXPECT_EQ(whole.JwwTexts[1].Text, "q");
  EXPECT_EQ(whole.JwwTexts[2].Text, "r\x82\r");
  for (size_t piece = 1; piece <= 7; ++piece) {
    TJwwGaibu m;
    TTransferLineFeeder feeder(m);
    for (size_t i = 0; i < text.size(); i += piece)
      feeder.Feed(std::string_view(text).substr(i, piece));
    feeder.Finish();
    EXPECT_EQ(m, whole) << "pieces of " << piece;
  }
}

}  // namespace
}  // namespace pikrotta
