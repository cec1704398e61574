#include "model_json.h"

#include <gtest/gtest.h>

#include <sstream>

#include "transfer_test_util.h"

namespace pikrotta {
namespace {

using test::ReadTransferText;

TEST(ModelToJson, ListsOnlyValidRecordsWithTheirFieldNames) {
  const auto j = ModelToJson(
      ReadTransferText("lc3\n0 0 1 2\nBL 5 6 \x95\x94\nmsg\n1 1 2 2\ncs 0 0 1 0 note\n"));
  EXPECT_EQ(j["JwwLines"].size(), 1u);  // the table holds 1000 records, one valid
  EXPECT_EQ(j["JwwLines"][0]["Color"], 3);
  EXPECT_EQ(j["JwwLines"][0]["Y2"], 2.0);
  EXPECT_EQ(j["JwwBlocks"][0]["BlockName"], "部");
  EXPECT_EQ(j["JwwMsgTexts"][0]["Frame"]["X2"], 2.0);
  EXPECT_EQ(j["JwwMsgTexts"][0]["Body"]["Text"], "note");
  EXPECT_EQ(j["JwwMsgTexts"][0]["Body"]["TextKind"], 2);
  EXPECT_EQ(j["JwwOrder"], nlohmann::ordered_json::parse("[[1,0],[8,0],[7,0]]"));
  EXPECT_EQ(j["JwwTextStyles"].size(), 10u);
  EXPECT_EQ(j["JwwSolidSgs"].size(), 0u);
}

TEST(ModelToJson, KeepsTheKindOrderOfTheTables) {
  const auto j = ModelToJson(TJwwGaibu{});
  std::vector<std::string> keys;
  for (const auto& item : j.items()) keys.push_back(item.key());
  const std::vector<std::string> expected = {
      "JwwFileName", "NoScale",     "LayerGroupScale", "JwwTextStyles", "JwwOrder",
      "JwwLines",    "JwwCircles",  "JwwArcs",         "JwwTexts",      "JwwPoints",
      "JwwPointExs", "JwwMsgTexts", "JwwBlocks",       "JwwSolid2s",    "JwwSolid3s",
      "JwwSolid4s",  "JwwSolidScs", "JwwSolidSes",     "JwwSolidSos",   "JwwSolidSgs"};
  EXPECT_EQ(keys, expected);
}

TEST(ModelSummaryToJson, CountsEveryTable) {
  const auto j = ModelSummaryToJson(ReadTransferText("0 0 1 1\n2 2 3 3\nsg 0 0 1 1 0 0 1 0.5\n"));
  EXPECT_EQ(j["JwwOrderCount"], 3);
  EXPECT_EQ(j["JwwLineCount"], 2);
  EXPECT_EQ(j["JwwSolidSgCount"], 1);
  EXPECT_EQ(j["JwwPointExCount"], 0);
  EXPECT_FALSE(j.contains("JwwLines"));
}

// The dump is written a record at a time now; its text must be the tree's to the byte.
TEST(WriteModelJson, WritesTheTextOfTheWholeTree) {
  const char* drawings[] = {
      "",
      "file=C:\\\x90\x7d\\a.jww\n0 0 1 1\nci 1 2 3\nci 1 2 3 0 90 0.5 10\npt 1 2\n"
      "pt 1 2 1 5 0.5 30\nch 0 0 10 0 \x90\x7d\x96\xca\nbl 1 2 \"blk\"\nsg 0 0 1 1 0 0 1 0.5\n"
      "msg\n0 0 1 1\ncs 0 0 10 0 x,1\n",
      "0 0 1 1\n",
  };
  for (const char* drawing : drawings) {
    const TJwwGaibu model = ReadTransferText(drawing);
    std::ostringstream streamed;
    WriteModelJson(streamed, model);
    EXPECT_EQ(streamed.str(), ModelToJson(model).dump(1)) << drawing;
  }
}

}  // namespace
}  // namespace pikrotta
