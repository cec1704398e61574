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

constexpr const wchar_t* kFormClass = L"TForm1";
constexpr const wchar_t* kApplicationClass = L"TApplication";
constexpr const wchar_t* kPanelClass = L"TPanel";
constexpr const wchar_t* kPaintBoxClass = L"TPaintBox";
constexpr const wchar_t* kSplitterClass = L"TSplitter";

}  // namespace pikrotta::win32
