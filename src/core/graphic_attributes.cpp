#include "graphic_attributes.h"

namespace pikrotta {

namespace {

constexpr int32_t kPenCount = 265;

}  // namespace

TgraAttribute::TgraAttribute() : Pens(kPenCount), PenCount(kPenCount) {
  InitPenColors();
  InitPenWidths();
  InitPointRadii();
}

int32_t TgraAttribute::PenIndex(int32_t pen) {
  if (pen >= 1 && pen <= 9) return pen - 1;
  if (pen >= 101 && pen <= 356) return pen - 92;
  return -1;
}

TColor TgraAttribute::PenColor(int32_t pen) const {
  const int32_t i = PenIndex(pen);
  return i < 0 ? BackgroundColor() : Pens[static_cast<size_t>(i)].Color;
}

double TgraAttribute::PenWidth(int32_t pen) const {
  const int32_t i = PenIndex(pen);
  return i < 0 ? 0.0 : Pens[static_cast<size_t>(i)].Width;
}

double TgraAttribute::PointRadius(int32_t pen) const {
  const int32_t i = PenIndex(pen);
  return i < 0 ? 0.1 : Pens[static_cast<size_t>(i)].Radius;
}

void TgraAttribute::InitPenColors() {
  for (TPenRecord& pen : Pens) pen.Color = DefaultPenColor;
  // Pens 1..9, then the extended pens 101..116.
  static constexpr TColor kColors[] = {
      MakeColor(0, 192, 192),   MakeColor(0, 0, 0),      MakeColor(0, 192, 0),
      MakeColor(192, 192, 0),   MakeColor(192, 0, 192),  MakeColor(0, 0, 255),
      MakeColor(0, 128, 128),   MakeColor(255, 0, 128),  MakeColor(255, 128, 255),
      MakeColor(0, 0, 0),       MakeColor(255, 0, 0),    MakeColor(0, 255, 0),
      MakeColor(0, 0, 255),     MakeColor(255, 255, 0),  MakeColor(255, 0, 255),
      MakeColor(0, 255, 255),   MakeColor(0, 0, 0),      MakeColor(192, 0, 128),
      MakeColor(192, 128, 64),  MakeColor(255, 128, 0),  MakeColor(128, 192, 128),
      MakeColor(0, 128, 255),   MakeColor(128, 64, 255), MakeColor(192, 192, 192),
      MakeColor(128, 128, 128),
  };
  for (size_t i = 0; i < std::size(kColors); ++i) Pens[i].Color = kColors[i];
}

void TgraAttribute::InitPenWidths() {
  for (TPenRecord& pen : Pens) pen.Width = 0.18;
  static constexpr double kWidths[] = {0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.5, 0.01};
  for (size_t i = 0; i < std::size(kWidths); ++i) Pens[i].Width = kWidths[i];
}

void TgraAttribute::InitPointRadii() {
  for (TPenRecord& pen : Pens) pen.Radius = 0.2;
  static constexpr double kRadii[] = {0.2, 0.3, 0.4, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2};
  for (size_t i = 0; i < std::size(kRadii); ++i) Pens[i].Radius = kRadii[i];
}

}  // namespace pikrotta
