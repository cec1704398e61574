#include "clipping.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pikrotta {
namespace {

constexpr TClipRect kRect{0, 0, 100, 50};

TEST(ClipOutcode, EdgesWithin1e12CountAsOutside) {
  const struct {
    double x, y;
    int32_t code;
  } cases[] = {
      {50, 25, 0}, {0, 25, 1},  {1e-13, 25, 1}, {2e-12, 25, 0}, {100, 25, 2}, {100 - 1e-13, 25, 2},
      {50, 0, 4},  {50, 50, 8}, {-1, -1, 5},    {101, 51, 10},  {-1, 51, 9},  {101, -1, 6},
  };
  for (const auto& c : cases) EXPECT_EQ(ClipOutcode(c.x, c.y, kRect), c.code) << c.x << "," << c.y;
  EXPECT_EQ(PointOutsideRect(50, 25, kRect), 0);
  EXPECT_EQ(PointOutsideRect(0, 25, kRect), 2);
}

TEST(SegmentVisibility, InsideSharedEdgeOrCrossing) {
  EXPECT_EQ(SegmentVisibility(10, 10, 20, 20, kRect), 0);
  EXPECT_EQ(SegmentVisibility(0, 10, 0, 40, kRect), 2);  // along the left edge
  EXPECT_EQ(SegmentVisibility(-5, 10, 20, 20, kRect), 1);
  EXPECT_EQ(SegmentVisibility(-5, 60, 120, -5, kRect), 1);
}

struct Segment {
  double x1, y1, x2, y2;
};

TEST(ClipSegment, CutsAtEachEdge) {
  const struct {
    Segment in;
    int32_t result;
    Segment out;
  } cases[] = {
      {{10, 10, 20, 20}, 0, {10, 10, 20, 20}},
      {{50, 25, 500, 25}, 1, {50, 25, 100, 25}},    // right
      {{50, 25, -500, 25}, 1, {50, 25, 0, 25}},     // left
      {{50, 25, 50, 500}, 1, {50, 25, 50, 50}},     // top
      {{50, 25, 50, -500}, 1, {50, 25, 50, 0}},     // bottom
      {{-50, 25, 150, 25}, 1, {0, 25, 100, 25}},    // both ends
      {{-10, -10, 110, 110}, 1, {0, 0, 50, 50}},    // through two corners' edges
      {{0, 10, 0, 40}, 2, {0, 10, 0, 40}},          // along the left edge
      {{-10, -10, -5, 60}, 2, {-10, -10, -5, 60}},  // wholly left
      {{30, 30, 30, 30}, 0, {30, 30, 30, 30}},      // zero length inside
  };
  for (const auto& c : cases) {
    Segment s = c.in;
    EXPECT_EQ(ClipSegment(s.x1, s.y1, s.x2, s.y2, kRect), c.result) << c.in.x1 << "," << c.in.y1;
    EXPECT_NEAR(s.x1, c.out.x1, 1e-9);
    EXPECT_NEAR(s.y1, c.out.y1, 1e-9);
    EXPECT_NEAR(s.x2, c.out.x2, 1e-9);
    EXPECT_NEAR(s.y2, c.out.y2, 1e-9);
  }
}

TEST(ClipSegment, EndsOutsideACornerMeetOnTheSameEdgeLine) {
  // From left of the window to above it, missing the top-left corner: the first end is moved
  // to the left edge line, lands above the window and moves on to the top edge line, where
  // the second end lands too, so nothing is left.
  double x1 = -20, y1 = 40, x2 = 10, y2 = 80;
  EXPECT_EQ(ClipSegment(x1, y1, x2, y2, kRect), 2);
  EXPECT_NEAR(x1, -12.5, 1e-9);
  EXPECT_NEAR(y1, 50, 1e-9);
  EXPECT_NEAR(x2, -12.5, 1e-9);
}

TEST(ClipSegment, InterpolatesFromTheOriginalFirstPoint) {
  // Both ends move: the second one is interpolated from the original first point, not from
  // the already moved one.
  double x1 = -100, y1 = 0, x2 = 200, y2 = 30;
  EXPECT_EQ(ClipSegment(x1, y1, x2, y2, kRect), 1);
  EXPECT_NEAR(x1, 0, 1e-9);
  EXPECT_NEAR(y1, 10, 1e-9);
  EXPECT_NEAR(x2, 100, 1e-9);
  EXPECT_NEAR(y2, 20, 1e-9);
}

// Far-off ends: the moved end was interpolated as difference times difference over difference,
// and 1e300 times 1e300 overflowed to infinity, which then reached the canvas as the largest
// pixel. The fraction of the segment is taken first now, and the ends stay finite.
TEST(ClipSegment, FarOffEndsStayFinite) {
  const TClipRect unit{-1, -1, 1, 1};
  const Segment cases[] = {
      {-1e300, 1e300, 1e300, -1e300},
      {-3e307, 1e306, 3e307, -1e306},
      {0.5, 1e300, 0.25, -1e300},
      // An end beyond the bottom or top only, its segment reaching far to the right.
      {0.5, -1e300, 1e300, 1e300},
      {0.5, 1e300, 1e300, -1e300},
  };
  for (const Segment& c : cases) {
    Segment s = c;
    EXPECT_NE(ClipSegment(s.x1, s.y1, s.x2, s.y2, unit), 0);
    EXPECT_TRUE(std::isfinite(s.x1) && std::isfinite(s.y1) && std::isfinite(s.x2) &&
                std::isfinite(s.y2))
        << c.x1 << "," << c.y1 << " -> " << s.x1 << "," << s.y1 << " " << s.x2 << "," << s.y2;
  }
}

TEST(ClipSegment, CutToNothingIsRejected) {
  // Touches the window only at its corner point.
  double x1 = -10, y1 = 10, x2 = 10, y2 = -10;
  EXPECT_EQ(ClipSegment(x1, y1, x2, y2, kRect), 2);
}

}  // namespace
}  // namespace pikrotta
