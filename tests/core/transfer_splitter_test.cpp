#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "transfer_reader.h"

namespace pikrotta {
namespace {

std::vector<std::string> Split(std::string_view line, int32_t* count = nullptr,
                               int32_t countLimit = kTransferFieldCountLimit) {
  std::string scratch(line.size(), '\0');
  TTransferFields fields;
  SplitTransferLine(line, scratch.data(), fields, countLimit);
  if (count) *count = fields.Count;
  std::vector<std::string> out;
  for (int32_t i = 1; i <= std::min(fields.Count, kTransferFieldCapacity); ++i)
    out.emplace_back(fields[i]);
  return out;
}

using Fields = std::vector<std::string>;

TEST(SplitTransferLine, Table) {
  const struct {
    std::string_view line;
    Fields fields;
  } cases[] = {
      {"ci 0 0 5", {"ci", "0", "0", "5"}},
      {"ci 0 0 5 ", {"ci", "0", "0", "5", ""}},  // a trailing blank opens one more field
      {"  ci\t\t0  0", {"ci", "0", "0"}},        // runs of blanks and tabs separate once
      {"", {""}},
      {"   ", {""}},
      {"ch 10 20 30 0 \"ab cd=ef", {"ch", "10", "20", "30", "0", "ab cd=ef"}},
      {"ch 1 2 3 4 \"a\tb\"c", {"ch", "1", "2", "3", "4", "ab\"c"}},  // tab dropped, 2nd quote kept
      {"file=C:\\my drawings\\a.jww", {"file=C:\\my drawings\\a.jww"}},
      {"ab=c d", {"ab=c d"}},
      {"a\"b c", {"ab c"}},
      {"a\x01\x1f\x7f b", {"a\x7f", "b"}},         // control bytes dropped, DEL kept
      {"a\xfe\xff b", {"a", "b"}},                 // 0xFE and 0xFF dropped
      {"a \xa0\xdf", {"a", "\xa0\xdf"}},           // half-width katakana are single bytes
      {"x \x81\x40y", {"x", "\x81\x40y"}},         // trail byte 0x40 is not "@"-special
      {"x \x82\x20y", {"x", "\x82\x20y"}},         // a trail byte that looks like a blank
      {"x \x82\x22y z", {"x", "\x82\x22y", "z"}},  // ... or like a quote
      {"x \x82\x3dy z", {"x", "\x82\x3dy", "z"}},  // ... or like "="
      {"x \x82\x09y", {"x", "\x82\x09y"}},         // ... or like a tab
      {"ab\x82", {"ab"}},                          // lone lead byte at the end dropped
      {"ab \x82", {"ab", ""}},
      {"a\r", {"a"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.line), c.fields) << c.line;
}

TEST(SplitTransferLine, MoreThan32FieldsAreCountedButNotKept) {
  std::string line;
  for (int i = 1; i <= 40; ++i) line += std::to_string(i) + " ";
  int32_t count = 0;
  const Fields fields = Split(line, &count);
  EXPECT_EQ(count, 41);  // forty numbers and the empty field after the last blank
  ASSERT_EQ(fields.size(), 32u);
  EXPECT_EQ(fields[31], "32");
}

// A line of more than 2^31 fields wrapped the count to a negative number, which passed the
// capacity test and wrote a field span out of bounds. The count now stops at its limit.
TEST(SplitTransferLine, FieldCountStopsAtItsLimit) {
  std::string plain;
  for (int i = 1; i <= 100; ++i) plain += std::to_string(i) + " ";
  for (const std::string& line : {plain, plain + "\x01"}) {  // both paths
    int32_t count = 0;
    const Fields fields = Split(line, &count, 40);
    EXPECT_EQ(count, 40);
    ASSERT_EQ(fields.size(), 32u);
    EXPECT_EQ(fields[31], "32");
  }
}

// Pieces of a line as they come from the reader, split at random places (between the two
// bytes of a character too); the fields must be those of the whole line.
TEST(TransferSplitter, PiecesGiveTheFieldsOfTheWholeLine) {
  std::mt19937 random(7);
  const std::string_view alphabet = "  \t\"=0123456789.-abz\x01\x81\x82\x40\xa0\xfe";
  TTransferSplitter splitter;
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    const size_t length = random() % 60;
    for (size_t k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
    for (size_t at = 0; at < line.size();) {
      const size_t piece = 1 + random() % 7;
      splitter.Feed(std::string_view(line).substr(at, piece));
      at += piece;
    }
    TTransferFields fields;
    splitter.Finish(fields);
    Fields pieces;
    for (int32_t k = 1; k <= std::min(fields.Count, kTransferFieldCapacity); ++k)
      pieces.emplace_back(fields[k]);
    int32_t count = 0;
    ASSERT_EQ(pieces, Split(line, &count)) << line;
    ASSERT_EQ(fields.Count, count) << line;
    splitter.Clear();
  }
}

}  // namespace
}  // namespace pikrotta

namespace pikrotta {
namespace {

// Plain ASCII lines take a shortcut. A control byte is dropped by the splitter but sends the
// line down the general path, so both paths must give the same fields.
TEST(SplitTransferLine, ShortcutAgreesWithTheGeneralPath) {
  std::mt19937 random(99);
  const std::string_view alphabet = "  0123456789.-eabz#$";
  for (int i = 0; i < 40000; ++i) {
    std::string line;
    // Long enough for many eight-byte words and more fields than are kept.
    const size_t length = random() % (i % 4 == 0 ? 400 : 80);
    for (size_t k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
    int32_t plainCount = 0, generalCount = 0;
    const auto plain = Split(line, &plainCount);
    const auto general = Split(line + "\x01", &generalCount);
    ASSERT_EQ(plain, general) << line;
    ASSERT_EQ(plainCount, generalCount) << line;
  }
}

#ifdef PIKROTTA_EXAMPLES
// Every line of the bundled drawing, through the shortcut and through the general path.
TEST(SplitTransferLine, ShortcutAgreesWithTheGeneralPathOnTheExample) {
  std::ifstream file(PIKROTTA_EXAMPLES "/demo/JWC_TEMP.TXT", std::ios::binary);
  ASSERT_TRUE(file);
  int lines = 0;
  for (std::string line; std::getline(file, line); ++lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    int32_t plainCount = 0, generalCount = 0;
    ASSERT_EQ(Split(line, &plainCount), Split(line + "\x01", &generalCount)) << line;
    ASSERT_EQ(plainCount, generalCount) << line;
  }
  EXPECT_GT(lines, 50);
}
#endif

}  // namespace
}  // namespace pikrotta
