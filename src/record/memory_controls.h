// The main window's controls kept in memory: captions, list rows, geometry and a canvas of
// the given kind. The command line's search runs on it, and tests drive the handlers with it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "main_window.h"

namespace pikrotta {

template <class TCanvasKind>
class TMemoryControls : public TWindowControls {
 public:
  std::map<TLabel, std::string> Captions;
  std::vector<std::string> Rows;
  int32_t Selection = -1;
  TWindowBounds Bounds{0, 0, 601, 469};
  int32_t Panel = 201;
  TPoint PaintSize{400, 300};
  TPoint Cursor{-1, -1};
  int32_t Focused = 0;
  int32_t Shown = 0;  // calls of ShowPaintArea
  bool Closed = false;
  TCanvasKind Canvas;

  std::string Caption(TLabel label) const override {
    const auto it = Captions.find(label);
    return it == Captions.end() ? std::string() : it->second;
  }
  void SetCaption(TLabel label, const std::string& text) override { Captions[label] = text; }
  void ClearList() override { Rows.clear(); }
  void AddListRow(const std::string& text) override { Rows.push_back(text); }
  void SetListRows(std::vector<std::string> rows) override { Rows = std::move(rows); }
  int32_t ListCount() const override { return static_cast<int32_t>(Rows.size()); }
  int32_t ListSelection() const override { return Selection; }
  TWindowBounds WindowBounds() const override { return Bounds; }
  void SetWindowBounds(const TWindowBounds& bounds) override { Bounds = bounds; }
  int32_t PanelWidth() const override { return Panel; }
  void SetPanelWidth(int32_t width) override { Panel = width; }
  TPoint PaintAreaSize() const override { return PaintSize; }
  TPoint CursorPosition() const override { return Cursor; }
  void FocusEditA() override { ++Focused; }
  TCanvas& PaintCanvas() override { return Canvas; }
  void ShowPaintArea() override { ++Shown; }
  void CloseWindow() override { Closed = true; }
};

}  // namespace pikrotta
