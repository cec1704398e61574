// Control identifiers of the main window's children, shared with tools that drive the window
// from outside (the end-to-end test), and the window class names.
#pragma once

namespace pikrotta::win32 {

enum TControlId : int {
  kIdLabelA1 = 101,
  kIdPaintBox1,
  kIdSplitter1,
  kIdPanel2,
  kIdPanel3,
  kIdLabel1,
  kIdLabel2,
  kIdLabel3,
  kIdLabel4,
  kIdLabel5,
  kIdButton2,
  kIdButton1,
  kIdListBox1,
  kIdMemo1,
  kIdEditA,
  kIdScrollBox1,
  kIdPanel1,
};

// Names of our own: "TForm1" and its kin are the classes of many other programs' windows, so a
// search by class could find theirs.
constexpr const wchar_t* kFormClass = L"Pikrotta.Form";
constexpr const wchar_t* kApplicationClass = L"Pikrotta.Application";
constexpr const wchar_t* kPanelClass = L"Pikrotta.Panel";
constexpr const wchar_t* kPaintBoxClass = L"Pikrotta.PaintBox";
constexpr const wchar_t* kSplitterClass = L"Pikrotta.Splitter";

}  // namespace pikrotta::win32
