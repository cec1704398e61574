#include "jww_model.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

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

// Heap memory that counts what it holds, and refuses once its budget of blocks is spent.
class TCountingMemory final : public TBlockMemory {
 public:
  explicit TCountingMemory(int budget = 1 << 30) : Budget(budget) {}
  ~TCountingMemory() { EXPECT_EQ(Live, 0) << "blocks not given back"; }
  void* Allocate(size_t bytes) override {
    if (Budget-- <= 0) throw std::bad_alloc();
    ++Live;
    Bytes += bytes;
    return ::operator new(bytes);
  }
  void Free(void* block, size_t bytes) noexcept override {
    --Live;
    Bytes -= bytes;
    ::operator delete(block);
  }
  int Budget;
  int Live = 0;
  size_t Bytes = 0;
};

TEST(JwwModel, BlocksComeFromTheGivenMemoryAndGoBackToWhereTheyCameFrom) {
  TCountingMemory first, second;
  {
    TJwwGaibu m;
    m.UseBlockMemory(first);
    for (int i = 0; i < 1500; ++i) m.AddEntity<ekLine>().X1 = i;
    m.AddEntity<ekText>().Text = std::string(300, 'x');  // a string beyond the record
    EXPECT_EQ(first.Live, 2 + 1 + 2);                    // lines, a text, order items
    EXPECT_EQ(first.Bytes, 2 * kTableBlock * sizeof(TJwwEntLine) +
                               kTableBlock * (sizeof(TJwwEntText) + 2 * sizeof(TJwwOrderItem)));

    m.UseBlockMemory(second);  // blocks already there stay with the first
    for (int i = 0; i < 600; ++i) m.AddEntity<ekLine>().X1 = 1500 + i;
    EXPECT_EQ(first.Live, 5);
    EXPECT_EQ(second.Live, 1 + 1);  // a third block of lines, a third of order items
    for (int i = 0; i < 2100; ++i) ASSERT_EQ(m.JwwLines[i].X1, i);

    TJwwGaibu copy = m;  // a copy takes its blocks where its source takes new ones
    EXPECT_EQ(copy, m);
    EXPECT_EQ(second.Live, 2 + 3 + 1 + 3);
    TJwwGaibu moved = std::move(copy);
    EXPECT_EQ(moved, m);
    EXPECT_EQ(second.Live, 9);  // a move takes the blocks over

    m.FreeModel();
    EXPECT_EQ(first.Live, 0);
    EXPECT_EQ(second.Live, 7);  // the moved copy's
  }
  EXPECT_EQ(second.Live, 0);
  EXPECT_EQ(second.Bytes, 0u);
}

TEST(JwwModel, MemoryThatRunsOutLeavesEveryTableWhole) {
  // The 1001st line needs a block of lines and one of order items: the budget runs out at
  // the first of them, then at the second.
  for (const int budget : {2, 3}) {
    TCountingMemory memory(budget);
    TJwwGaibu m;
    m.UseBlockMemory(memory);
    for (int i = 0; i < 1000; ++i) m.AddEntity<ekLine>().X1 = i;
    EXPECT_THROW(m.AddEntity<ekLine>(), std::bad_alloc) << budget;
    EXPECT_EQ(m.JwwLineCount, 1000);
    EXPECT_EQ(m.JwwOrderCount, 1000);
    EXPECT_EQ(m.JwwOrder[999], (TJwwOrderItem{ekLine, 999}));
    memory.Budget = 2;  // once memory is back, reading goes on where it stopped
    m.AddEntity<ekLine>().X1 = 1000;
    EXPECT_EQ(m.JwwOrder[1000], (TJwwOrderItem{ekLine, 1000}));
    EXPECT_EQ(m.JwwLines[1000].X1, 1000);
  }
}

}  // namespace
}  // namespace pikrotta
