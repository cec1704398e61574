#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <vector>

#include "gra_test_util.h"
#include "transfer_test_util.h"

namespace pikrotta {
namespace {

// A system key whose state a test sets, counting how often it is asked.
class TSystemKey : public TEscKeyState {
 public:
  bool EscPressed() const override {
    ++Asked;
    return Down();
  }
  std::function<bool()> Down = [] { return false; };
  mutable int32_t Asked = 0;
};

class TManualClock : public TMonotonicClock {
 public:
  int64_t Microseconds() const override { return Now(); }
  std::function<int64_t()> Now = [] { return int64_t{0}; };
};

TEST(ThrottledEscKey, AsksTheSystemAtMostOncePerIntervalAndNeverKeepsDown) {
  struct TStep {
    int64_t At;       // microseconds
    bool SystemDown;  // the key as the system has it
    bool Answer;
    int32_t Asked;  // asks of the system so far
  };
  const std::vector<TStep> steps = {
      {0, false, false, 1},       // the first poll asks
      {14'999, true, false, 1},   // within the interval: not asked, "up"
      {15'000, true, true, 2},    // the interval is over: asked, down
      {15'001, true, true, 3},    // down is asked again at once
      {15'002, false, false, 4},  // let go: asked, up
      {20'000, true, false, 4},   // pressed again, but within the interval of that ask
      {30'002, true, true, 5},
  };
  TSystemKey system;
  TManualClock clock;
  TThrottledEscKey key(system, clock);
  for (const TStep& step : steps) {
    clock.Now = [&] { return step.At; };
    system.Down = [&] { return step.SystemDown; };
    EXPECT_EQ(key.EscPressed(), step.Answer) << "at " << step.At;
    EXPECT_EQ(system.Asked, step.Asked) << "at " << step.At;
  }
}

// Esc pressed while a drawing of many records of one kind is drawn: the pass ends within a
// bounded number of canvas calls. The key goes down once a given number of calls are made;
// the bound is ten records' calls (the pass looks after every tenth record) and one more.
struct TKindCase {
  const char* Name;
  std::string Record;  // transfer text of one record
  int32_t Copies;
  std::string Head = {}, Tail = {};  // around the records
};

void PrintTo(const TKindCase& c, std::ostream* os) {
  *os << c.Name;
}

std::string Repeat(const std::string& text, int32_t copies) {
  std::string s;
  for (int32_t i = 0; i < copies; ++i) s += text;
  return s;
}

size_t CallsOfOneDrawing(const std::string& text, const TEscKeyState* keys = nullptr) {
  test::TDrawing d;
  d.View.ViewScale = 10;
  d.View.ViewWidth = d.View.ViewHeight = 1000;
  d.View.CentreAt(0, 0);
  d.Model = test::ReadTransferText(text);
  TGra gra(d.View, d.Attributes, d.Model, d.Clock, keys ? *keys : d.Keys);
  gra.DrawAllEntities(d.Canvas);
  return d.Canvas.Calls.size();
}

class EscDuringThePass : public ::testing::TestWithParam<TKindCase> {};

TEST_P(EscDuringThePass, EndsWithinTenRecordsOfThePress) {
  const TKindCase& c = GetParam();
  const size_t perRecord = CallsOfOneDrawing(c.Head + c.Record + c.Tail);
  const std::string drawing = c.Head + Repeat(c.Record, c.Copies) + c.Tail;
  const size_t whole = CallsOfOneDrawing(drawing);
  ASSERT_GT(perRecord, 0u);
  ASSERT_GE(whole, perRecord * static_cast<size_t>(c.Copies));

  // Pressed when a third of the drawing is drawn: directly, and through the throttle with a
  // clock that runs 100 microseconds per canvas call.
  test::TDrawing d;
  d.View.ViewScale = 10;
  d.View.ViewWidth = d.View.ViewHeight = 1000;
  d.View.CentreAt(0, 0);
  d.Model = test::ReadTransferText(drawing);
  const size_t pressAt = whole / 3;
  TSystemKey system;
  system.Down = [&] { return d.Canvas.Calls.size() >= pressAt; };
  TManualClock clock;
  clock.Now = [&] { return static_cast<int64_t>(d.Canvas.Calls.size()) * 100; };
  const TThrottledEscKey throttled(system, clock);
  for (const TEscKeyState* keys :
       {static_cast<const TEscKeyState*>(&system), static_cast<const TEscKeyState*>(&throttled)}) {
    d.Canvas.Calls.clear();
    TGra gra(d.View, d.Attributes, d.Model, d.Clock, *keys);
    EXPECT_FALSE(gra.DrawAllEntities(d.Canvas)) << c.Name;
    const size_t interval = keys == &throttled ? TThrottledEscKey::kIntervalMicroseconds / 100 : 0;
    EXPECT_LE(d.Canvas.Calls.size(), pressAt + interval + 11 * perRecord) << c.Name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, EscDuringThePass,
    ::testing::Values(
        TKindCase{"lines", "-20 -20 20 20\n", 3000}, TKindCase{"circles", "ci 0 0 20\n", 300},
        TKindCase{"arcs", "ci 0 0 20 10 300 1 0\n", 300},
        TKindCase{"ellipses", "ci 0 0 20 0 0 0.5 30\n", 300}, TKindCase{"points", "pt 1 1\n", 500},
        TKindCase{"markers", "pt 1 1 1 45 3\n", 300},
        TKindCase{"texts", "ch -20 0 40 0 \"A long line of text to draw, character by character\n",
                  300},
        TKindCase{"framed texts", "-20 0 20 5\ncs -20 0 40 0 a framed text\n", 300, "msg\n"},
        TKindCase{"solids", "sl -10 -10 10 -10 10 10 -10 10\n", 1000},
        TKindCase{"image references", "ch 0 0 10 0 ^@BMimages\\a.bmp,30,20\n", 1000},
        // A circle far larger than the view, zoomed in on its edge, and a polyline of many
        // segments: one record draws little, the whole of them much.
        TKindCase{"huge circles", "ci 0 -1e7 1e7\n", 500},
        TKindCase{"a long polyline", "-50 0 50 10\n", 5000, "pl\n", "#\n"}),
    [](const auto& named) {
      std::string name;
      for (const char ch : std::string(named.param.Name))
        if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
      return name;
    });

}  // namespace
}  // namespace pikrotta
