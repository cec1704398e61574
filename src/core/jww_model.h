// The in-memory copy of the drawing that Jw_cad hands over: fifteen entity tables, the order
// in which the entities were read, the drawing's header values and the reader's state.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace pikrotta {

enum TEntityKind : int32_t {
  ekLine = 1,
  ekCircle,
  ekArc,
  ekText,
  ekPoint,
  ekPointEx,
  ekMsgText,
  ekBlock,
  ekSolid2,
  ekSolid3,
  ekSolid4,
  ekSolidSc,
  ekSolidSe,
  ekSolidSo,
  ekSolidSg,
};
constexpr int32_t kEntityKindCount = 15;

// Tables grow by this many records at a time; new records are zero-filled.
constexpr int32_t kTableBlock = 1000;
// Longest text or font name a text record keeps, in bytes.
constexpr size_t kMaxTextBytes = 255;

struct TJwwTextStyle {
  double CharWidth = 0;
  double CharHeight = 0;
  double CharSpacing = 0;
  int32_t Color = 0;
  bool operator==(const TJwwTextStyle&) const = default;
};

struct TJwwEntHead {
  int32_t LayerGroup = 0;
  int32_t Layer = 0;
  int32_t Color = 0;
  int32_t LineType = 0;
  int32_t LineWidth = 0;
  bool operator==(const TJwwEntHead&) const = default;
};

struct TJwwEntLine : TJwwEntHead {
  int32_t PolylineNo = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool operator==(const TJwwEntLine&) const = default;
};

struct TJwwEntCircle : TJwwEntHead {
  double Cx = 0, Cy = 0, Radius = 0;
  bool operator==(const TJwwEntCircle&) const = default;
};

struct TJwwEntArc : TJwwEntHead {
  double Cx = 0, Cy = 0, Radius = 0;
  double StartAngle = 0, EndAngle = 0;  // degrees
  double Flatness = 0, Tilt = 0;        // Tilt in degrees
  bool operator==(const TJwwEntArc&) const = default;
};

struct TJwwEntText : TJwwEntHead {
  int32_t TextKind = 0;
  int32_t TextAnchor = 0;
  int32_t TextStyleNo = 0;
  double CharWidth = 0, CharHeight = 0, CharSpacing = 0;
  double X = 0, Y = 0, Dx = 0, Dy = 0;
  std::string FontName;
  std::string Text;
  bool operator==(const TJwwEntText&) const = default;
};

struct TJwwEntPoint : TJwwEntHead {
  double X = 0, Y = 0;
  bool operator==(const TJwwEntPoint&) const = default;
};

struct TJwwEntPointEx : TJwwEntHead {
  double X = 0, Y = 0, MarkScale = 0, MarkAngle = 0;  // MarkAngle in degrees
  int32_t MarkCode = 0;
  bool operator==(const TJwwEntPointEx&) const = default;
};

struct TJwwEntMsgText : TJwwEntHead {
  TJwwEntLine Frame;
  TJwwEntText Body;
  bool operator==(const TJwwEntMsgText&) const = default;
};

struct TJwwEntBlk : TJwwEntHead {
  double X = 0, Y = 0;
  std::string BlockName;
  bool operator==(const TJwwEntBlk&) const = default;
};

struct TJwwEntSolid2 : TJwwEntHead {
  int32_t ExtColor = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool operator==(const TJwwEntSolid2&) const = default;
};

struct TJwwEntSolid3 : TJwwEntHead {
  int32_t ExtColor = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0;
  bool operator==(const TJwwEntSolid3&) const = default;
};

struct TJwwEntSolid4 : TJwwEntHead {
  int32_t ExtColor = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
  bool operator==(const TJwwEntSolid4&) const = default;
};

// "sc" and "se" solids; angles in radians.
struct TJwwEntSolidSc : TJwwEntHead {
  int32_t ExtColor = 0;
  double Cx = 0, Cy = 0, Radius = 0, Flatness = 0, Tilt = 0, Start = 0, Sweep = 0;
  int32_t ShapeParam = 0;
  bool operator==(const TJwwEntSolidSc&) const = default;
};
using TJwwEntSolidSe = TJwwEntSolidSc;

// "so" and "sg" solids: ring sectors; angles in radians.
struct TJwwEntSolidSo : TJwwEntHead {
  int32_t ExtColor = 0;
  double Cx = 0, Cy = 0, Radius = 0, Flatness = 0, Tilt = 0, Start = 0, Sweep = 0;
  double InnerRadius = 0;
  bool operator==(const TJwwEntSolidSo&) const = default;
};
using TJwwEntSolidSg = TJwwEntSolidSo;

struct TJwwOrderItem {
  int32_t EntityKind = 0;
  int32_t EntityIndex = 0;
  bool operator==(const TJwwOrderItem&) const = default;
};

// Attributes that carry from attribute lines of the transfer file to the entities after them.
struct TJwwState {
  int32_t CurLayerGroup = 0;
  int32_t CurLayer = 0;
  int32_t CurColor = 1;
  int32_t CurLineType = 1;
  int32_t CurLineWidth = 0;
  int32_t CurTextStyleNo = 1;
  TJwwTextStyle FreeTextStyle{2.0, 2.0, 0.0, 1};
  int32_t CurTextAnchor = 0;
  std::string CurFontName = DefaultFontName();
  int32_t CurPointColor = 1;
  int32_t CurExtColor = 0;
  bool PolylineMode = false;
  int32_t PolylineCount = 0;
  bool MsgMode = false;
  TJwwEntLine MsgFrame = DefaultMsgFrame();
  bool operator==(const TJwwState&) const = default;

  // "<ＭＳ ゴシック>" in Shift-JIS.
  static std::string DefaultFontName() {
    return "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>";
  }
  static TJwwEntLine DefaultMsgFrame() {
    TJwwEntLine frame;
    frame.Color = 1;
    frame.LineType = 1;
    frame.X2 = 1.0;
    return frame;
  }
};

// Where tables take the memory of their blocks from. A host may hand out memory that the
// system backs with large pages, where first touching a large drawing's records costs a
// fraction; by default it is the heap.
class TBlockMemory {
 public:
  // Room for bytes, aligned for any record; throws std::bad_alloc when there is none.
  virtual void* Allocate(size_t bytes) = 0;
  virtual void Free(void* block, size_t bytes) noexcept = 0;

 protected:
  ~TBlockMemory() = default;
};
TBlockMemory& HeapBlockMemory();

// A growable table of records kept in blocks of kTableBlock zero-filled records. Blocks never
// move, so growing never copies what is there and a record keeps its address; reading stays
// linear however large the drawing. Each block goes back to the memory it came from.
template <class T>
class TJwwTable {
 public:
  TJwwTable() = default;
  ~TJwwTable() { Release(); }
  TJwwTable(const TJwwTable& other) : Memory(other.Memory) { *this = other; }
  TJwwTable& operator=(const TJwwTable& other) {
    if (this == &other) return *this;
    Release();
    for (const TBlock& block : other.Blocks) {
      AddBlock();
      std::copy(block.Records, block.Records + kTableBlock, Blocks.back().Records);
    }
    return *this;
  }
  TJwwTable(TJwwTable&& other) noexcept
      : Blocks(std::exchange(other.Blocks, {})), Memory(other.Memory) {}
  TJwwTable& operator=(TJwwTable&& other) noexcept {
    if (this == &other) return *this;
    Release();
    Blocks = std::exchange(other.Blocks, {});
    Memory = other.Memory;
    return *this;
  }

  // The length: always a multiple of kTableBlock, at least the table's count.
  size_t size() const { return Blocks.size() * kTableBlock; }
  bool empty() const { return Blocks.empty(); }
  T& operator[](size_t i) { return Blocks[i / kTableBlock].Records[i % kTableBlock]; }
  const T& operator[](size_t i) const { return Blocks[i / kTableBlock].Records[i % kTableBlock]; }
  void AddBlock() {
    // The block's place is made first, so that a block once made is never lost.
    if (Blocks.size() == Blocks.capacity()) Blocks.reserve(std::max<size_t>(16, 2 * Blocks.size()));
    void* room = Memory->Allocate(kBlockBytes);
    T* records = static_cast<T*>(room);
    try {
      std::uninitialized_value_construct_n(records, kTableBlock);
    } catch (...) {
      Memory->Free(room, kBlockBytes);
      throw;
    }
    Blocks.push_back({records, Memory});
  }
  void Release() {
    for (const TBlock& block : Blocks) {
      std::destroy_n(block.Records, kTableBlock);
      block.Memory->Free(block.Records, kBlockBytes);
    }
    std::vector<TBlock>().swap(Blocks);
  }
  // Blocks added from now on come from memory; those there stay where they came from.
  void UseMemory(TBlockMemory& memory) { Memory = &memory; }

  bool operator==(const TJwwTable& other) const {
    if (size() != other.size()) return false;
    for (size_t i = 0; i < size(); ++i)
      if (!((*this)[i] == other[i])) return false;
    return true;
  }

 private:
  static constexpr size_t kBlockBytes = sizeof(T) * kTableBlock;
  struct TBlock {
    T* Records;
    TBlockMemory* Memory;
  };
  std::vector<TBlock> Blocks;
  TBlockMemory* Memory = &HeapBlockMemory();
};

// Makes room for one more record: a new block of kTableBlock zero-filled records when the
// count is 0, 1000, 2000, ... A failed allocation leaves the table as it was.
template <class T>
void ReserveRecord(TJwwTable<T>& table, int32_t count) {
  if (table.size() <= static_cast<size_t>(count)) table.AddBlock();
}

// Appends one zero-filled record.
template <class T>
T& AppendRecord(TJwwTable<T>& table, int32_t& count) {
  ReserveRecord(table, count);
  return table[static_cast<size_t>(count++)];
}

// The drawing model. Only the first Count records of each table are valid.
struct TJwwGaibu {
  std::string JwwFileName;
  std::array<double, 16> LayerGroupScale{};
  bool NoScale = false;
  std::array<TJwwTextStyle, 10> JwwTextStyles{};  // styles 1..10 at indices 0..9

  TJwwTable<TJwwOrderItem> JwwOrder;
  int32_t JwwOrderCount = 0;

  TJwwTable<TJwwEntLine> JwwLines;
  int32_t JwwLineCount = 0;
  TJwwTable<TJwwEntCircle> JwwCircles;
  int32_t JwwCircleCount = 0;
  TJwwTable<TJwwEntArc> JwwArcs;
  int32_t JwwArcCount = 0;
  TJwwTable<TJwwEntText> JwwTexts;
  int32_t JwwTextCount = 0;
  TJwwTable<TJwwEntPoint> JwwPoints;
  int32_t JwwPointCount = 0;
  TJwwTable<TJwwEntPointEx> JwwPointExs;
  int32_t JwwPointExCount = 0;
  TJwwTable<TJwwEntMsgText> JwwMsgTexts;
  int32_t JwwMsgTextCount = 0;
  TJwwTable<TJwwEntBlk> JwwBlocks;
  int32_t JwwBlockCount = 0;
  TJwwTable<TJwwEntSolid2> JwwSolid2s;
  int32_t JwwSolid2Count = 0;
  TJwwTable<TJwwEntSolid3> JwwSolid3s;
  int32_t JwwSolid3Count = 0;
  TJwwTable<TJwwEntSolid4> JwwSolid4s;
  int32_t JwwSolid4Count = 0;
  TJwwTable<TJwwEntSolidSc> JwwSolidScs;
  int32_t JwwSolidScCount = 0;
  TJwwTable<TJwwEntSolidSe> JwwSolidSes;
  int32_t JwwSolidSeCount = 0;
  TJwwTable<TJwwEntSolidSo> JwwSolidSos;
  int32_t JwwSolidSoCount = 0;
  TJwwTable<TJwwEntSolidSg> JwwSolidSgs;
  int32_t JwwSolidSgCount = 0;

  TJwwState JwwState;

  TJwwGaibu() { ResetModel(); }

  // Header values to their defaults, every table and the order list emptied, reader state reset.
  void ResetModel();
  // Releases the tables and the order list; the header values stay.
  void FreeModel();
  // Where the tables and the order list take their blocks from from now on.
  void UseBlockMemory(TBlockMemory& memory);

  // Style 1..10 of the drawing.
  TJwwTextStyle& TextStyle(int32_t no) { return JwwTextStyles[static_cast<size_t>(no) - 1]; }
  const TJwwTextStyle& TextStyle(int32_t no) const {
    return JwwTextStyles[static_cast<size_t>(no) - 1];
  }

  // The table of one kind and its count, as a pair of references.
  template <TEntityKind K>
  auto Table() {
    return TableOf<K>(*this);
  }
  template <TEntityKind K>
  auto Table() const {
    return TableOf<K>(*this);
  }

  // Calls visit(kind, table, count) for each of the fifteen tables in EntityKind order. kind is
  // a std::integral_constant, so that visit can treat a kind apart at compile time.
  template <class F>
  void ForEachTable(F&& visit) {
    VisitTables(*this, visit);
  }
  template <class F>
  void ForEachTable(F&& visit) const {
    VisitTables(*this, visit);
  }

  // Both tables get their room first, so that running out of memory never leaves an order
  // item without its record.
  template <TEntityKind K>
  auto& AddEntity() {
    auto [table, count] = Table<K>();
    ReserveRecord(table, count);
    ReserveRecord(JwwOrder, JwwOrderCount);
    AppendRecord(JwwOrder, JwwOrderCount) = TJwwOrderItem{K, count};
    return AppendRecord(table, count);
  }

  bool operator==(const TJwwGaibu&) const = default;

 private:
  template <TEntityKind K, class Self>
  static auto TableOf(Self& m) {
    if constexpr (K == ekLine)
      return std::tie(m.JwwLines, m.JwwLineCount);
    else if constexpr (K == ekCircle)
      return std::tie(m.JwwCircles, m.JwwCircleCount);
    else if constexpr (K == ekArc)
      return std::tie(m.JwwArcs, m.JwwArcCount);
    else if constexpr (K == ekText)
      return std::tie(m.JwwTexts, m.JwwTextCount);
    else if constexpr (K == ekPoint)
      return std::tie(m.JwwPoints, m.JwwPointCount);
    else if constexpr (K == ekPointEx)
      return std::tie(m.JwwPointExs, m.JwwPointExCount);
    else if constexpr (K == ekMsgText)
      return std::tie(m.JwwMsgTexts, m.JwwMsgTextCount);
    else if constexpr (K == ekBlock)
      return std::tie(m.JwwBlocks, m.JwwBlockCount);
    else if constexpr (K == ekSolid2)
      return std::tie(m.JwwSolid2s, m.JwwSolid2Count);
    else if constexpr (K == ekSolid3)
      return std::tie(m.JwwSolid3s, m.JwwSolid3Count);
    else if constexpr (K == ekSolid4)
      return std::tie(m.JwwSolid4s, m.JwwSolid4Count);
    else if constexpr (K == ekSolidSc)
      return std::tie(m.JwwSolidScs, m.JwwSolidScCount);
    else if constexpr (K == ekSolidSe)
      return std::tie(m.JwwSolidSes, m.JwwSolidSeCount);
    else if constexpr (K == ekSolidSo)
      return std::tie(m.JwwSolidSos, m.JwwSolidSoCount);
    else {
      static_assert(K == ekSolidSg, "unknown entity kind");
      return std::tie(m.JwwSolidSgs, m.JwwSolidSgCount);
    }
  }

  template <class Self, class F>
  static void VisitTables(Self& m, F& visit) {
    [&]<int32_t... I>(std::integer_sequence<int32_t, I...>) {
      (VisitTable<static_cast<TEntityKind>(I + 1)>(m, visit), ...);
    }
    (std::make_integer_sequence<int32_t, kEntityKindCount>{});
  }
  template <TEntityKind K, class Self, class F>
  static void VisitTable(Self& m, F& visit) {
    auto [table, count] = TableOf<K>(m);
    visit(std::integral_constant<TEntityKind, K>{}, table, count);
  }
};

// The name of each kind's table, as the model spells it; index 0 is no kind.
constexpr std::string_view kTableNames[kEntityKindCount + 1] = {
    "",           "JwwLines",    "JwwCircles",  "JwwArcs",     "JwwTexts",
    "JwwPoints",  "JwwPointExs", "JwwMsgTexts", "JwwBlocks",   "JwwSolid2s",
    "JwwSolid3s", "JwwSolid4s",  "JwwSolidScs", "JwwSolidSes", "JwwSolidSos",
    "JwwSolidSgs"};

}  // namespace pikrotta
