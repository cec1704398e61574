#include "jww_model.h"

#include <gtest/gtest.h>

#include "transfer_test_util.h"

namespace pikrotta {
namespace {

TEST(JwwModel, ResetGivesTheDefaults) {
  TJwwGaibu m =
      test::ReadTransferText("file=x\nbz\nhs 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2\nlc4\n0 0 1 1\n");
  m.ResetModel();
  EXPECT_EQ(m.JwwFileName, "");
  EXPECT_FALSE(m.NoScale);
  for (double s : m.LayerGroupScale) EXPECT_EQ(s, 1.0);
  for (int32_t no = 1; no <= 10; ++no)
    EXPECT_EQ(m.TextStyle(no), (TJwwTextStyle{3.0, 3.0, 0.0, 2}));
  EXPECT_EQ(m.JwwOrderCount, 0);
  EXPECT_EQ(m.JwwLineCount, 0);
  EXPECT_TRUE(m.JwwLines.empty());
  EXPECT_EQ(m.JwwState, TJwwState{});
  EXPECT_EQ(m.JwwState.CurColor, 1);
  EXPECT_EQ(m.JwwState.MsgFrame.X2, 1.0);
  EXPECT_EQ(m, TJwwGaibu{});
}

TEST(JwwModel, TablesGrowInBlocksOfAThousandAndKeepTheirRecords) {
  TJwwGaibu m;
  EXPECT_EQ(m.JwwLines.size(), 0u);
  for (int i = 0; i < 1000; ++i) m.AddEntity<ekLine>().X1 = i;
  const TJwwEntLine* first = &m.JwwLines[0];
  EXPECT_EQ(m.JwwLines.size(), 1000u);
  EXPECT_EQ(m.JwwOrder.size(), 1000u);
  TJwwEntLine& added = m.AddEntity<ekLine>();
  EXPECT_EQ(added, TJwwEntLine{});  // zero-filled
  EXPECT_EQ(m.JwwLineCount, 1001);
  EXPECT_EQ(m.JwwLines.size(), 2000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(m.JwwLines[i].X1, i);
  EXPECT_EQ(&m.JwwLines[0], first);  // growing moves no record
  EXPECT_EQ(m.JwwOrder[1000], (TJwwOrderItem{ekLine, 1000}));
  EXPECT_EQ(m.JwwCircles.size(), 0u);  // other tables untouched
}

TEST(JwwModel, BlockReferencesCountInTheOrder) {
  const TJwwGaibu m = test::ReadTransferText("BL 1 2 a\n");
  EXPECT_EQ(m.JwwBlockCount, 1);
  EXPECT_EQ(m.JwwOrderCount, 1);
  EXPECT_EQ(m.JwwOrder[0], (TJwwOrderItem{ekBlock, 0}));
}

TEST(JwwModel, FreeReleasesTablesButKeepsTheHeader) {
  TJwwGaibu m = test::ReadTransferText("file=a.jww\nbz\n0 0 1 1\nch 0 0 1 0 x\n");
  m.FreeModel();
  EXPECT_EQ(m.JwwOrderCount, 0);
  EXPECT_EQ(m.JwwTextCount, 0);
  EXPECT_EQ(m.JwwTexts.size(), 0u);
  EXPECT_EQ(m.JwwFileName, "a.jww");
  EXPECT_TRUE(m.NoScale);
}

TEST(JwwModel, NoEntityLinesLeaveEveryCountAtZero) {
  const TJwwGaibu m = test::ReadTransferText("hk 1\nlc3\ncn2\n#\npl\nmsg\n\n");
  EXPECT_EQ(m.JwwOrderCount, 0);
  EXPECT_EQ(m.JwwLineCount + m.JwwTextCount + m.JwwMsgTextCount + m.JwwBlockCount, 0);
}

}  // namespace
}  // namespace pikrotta
