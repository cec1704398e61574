// Jw_cad's pen numbers (1..9 and the extended 101..356) mapped to screen colour, line width
// and point radius.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace pikrotta {

class TgraAttribute {
 public:
  struct TPenRecord {
    TColor Color = 0;
    double Width = 0;   // mm
    double Radius = 0;  // mm
  };

  TColor BackgroundColorValue = 0xFFFFFF;
  TColor DefaultPenColor = 0;
  std::vector<TPenRecord> Pens;
  int32_t PenCount = 0;

  TgraAttribute();

  // 1..9 -> 0..8, 101..356 -> 9..264, anything else -1.
  static int32_t PenIndex(int32_t pen);
  TColor PenColor(int32_t pen) const;
  double PenWidth(int32_t pen) const;
  double PointRadius(int32_t pen) const;
  TColor BackgroundColor() const { return BackgroundColorValue; }

  void InitPenColors();
  void InitPenWidths();
  void InitPointRadii();
};

}  // namespace pikrotta
