// What the window says of a listed reference: one line in the status label for a selected row,
// the list summed up on the header row, and the menu that copies a candidate into place.
#include <algorithm>

#include "main_window.h"
#include "my_func.h"

namespace pikrotta {

namespace {

// The status label shows about this many characters; a longer line loses its middle.
constexpr int32_t kStatusCharacters = 90;
// Candidates offered in a row's menu.
constexpr size_t kMenuCandidates = 8;

// …
constexpr const char* kEllipsis = "\x81\x63";
// 見つかりません。候補：
constexpr const char* kNotFoundCandidate =
    "\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\x8c\xf3\x95\xe2\x81\x46";
//  ほか {} 件
constexpr const char* kMoreCandidates = " \x82\xd9\x82\xa9 {} \x8c\x8f";
// 見つかりません：
constexpr const char* kNotFound =
    "\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x46";
// パスを解決できません。
constexpr const char* kUnresolvable =
    "\x83\x70\x83\x58\x82\xf0\x89\xf0\x8c\x88\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42";
// ○ {}　× {}　？ {}　※ {}　要確認 {}
constexpr const char* kSummary =
    "\x81\x9b {}\x81\x40\x81\x7e {}\x81\x40\x81\x48 {}\x81\x40\x81\xa6 "
    "{}\x81\x40\x97\x76\x8a\x6d\x94\x46 {}";
// ここへコピー：
constexpr const char* kCopyHere = "\x82\xb1\x82\xb1\x82\xd6\x83\x52\x83\x73\x81\x5b\x81\x46";
// 候補のフォルダを開く
constexpr const char* kOpenCandidateFolder =
    "\x8c\xf3\x95\xe2\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xad";
// 画像をコピーできませんでした。
constexpr const char* kCopyFailed =
    "\x89\xe6\x91\x9c\x82\xf0\x83\x52\x83\x73\x81\x5b\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82"
    "\xc5\x82\xb5\x82\xbd\x81\x42";
// 　
constexpr const char* kSeparator = "\x81\x40";

// The line cut in its middle, so that its end, the file's name, stays.
std::string ShortenMiddle(const std::string& text, int32_t most) {
  const int32_t length = LengthMB(text);
  if (length <= most) return text;
  const int32_t tail = most / 2, head = most - tail - 1;
  std::string first, last;
  CopyCharsMB(text, 1, head, first);
  CopyCharsMB(text, length - tail + 1, tail, last);
  return first + kEllipsis + last;
}

bool IsNetworkRow(const TImageRefRow& row) {
  return row.Mark.ends_with(texts::kMarkNetwork);
}

}  // namespace

std::vector<TImageRefDiagnosis> TForm1::DiagnoseRows(const std::vector<TImageRefRow>& rows,
                                                     bool candidates) const {
  const TUnreadHeaders unread;
  const TSteadyClock clock;
  return DiagnoseImageRefs(DiagnosisInputs(rows, ImageRefs), DiagnosisPlaces(), Host,
                           ImageHeaderReader ? *ImageHeaderReader : unread, clock, candidates);
}

const TImageRefDiagnosis& TForm1::RowDiagnosis(int32_t row) {
  const auto r = static_cast<size_t>(row - 1);
  if (RowDiagnoses.size() != ImageRefRows.size()) RowDiagnoses.assign(ImageRefRows.size(), {});
  if (!RowDiagnoses[r]) RowDiagnoses[r] = DiagnoseRows({ImageRefRows[r]}, true)[0];
  return *RowDiagnoses[r];
}

TDiagnosisPlaces TForm1::DiagnosisPlaces() const {
  return {Controls.Caption(TLabel::Label2), Controls.Caption(TLabel::Label4),
          Controls.Caption(TLabel::Label5)};
}

std::string TForm1::RowStatusText(int32_t row) {
  const TImageRefRow& r = ImageRefRows[static_cast<size_t>(row - 1)];
  const TImageRefDiagnosis& d = RowDiagnosis(row);
  const std::string finding = d.Findings.empty() ? "" : kSeparator + d.Findings[0].Japanese;
  if (r.ResolvedPath == texts::kFullWidthBlank) return kUnresolvable + finding;
  if (r.Found) return r.ResolvedPath + finding;
  if (d.Candidates.empty()) return kNotFound + r.ResolvedPath + finding;
  std::string text = kNotFoundCandidate + d.Candidates[0].File.Path;
  if (d.Candidates.size() > 1)
    text += FillPlaceholders(kMoreCandidates, {std::to_string(d.Candidates.size() - 1)});
  return text;
}

std::string TForm1::ListSummaryText() {
  int32_t found = 0, missing = 0, unresolvable = 0, network = 0;
  for (const TImageRefRow& r : ImageRefRows) {
    if (r.ResolvedPath == texts::kFullWidthBlank)
      ++unresolvable;
    else if (r.Found)
      ++found;
    else
      ++missing;
    network += IsNetworkRow(r);
  }
  // The findings of every row, without looking for candidates: those take a while each.
  int32_t doubtful = 0;
  for (const TImageRefDiagnosis& d : DiagnoseRows(ImageRefRows, false))
    doubtful += !d.Findings.empty();
  return FillPlaceholders(
      kSummary, {std::to_string(found), std::to_string(missing), std::to_string(unresolvable),
                 std::to_string(network), std::to_string(doubtful)});
}

void TForm1::ListBox1Click() {
  const int32_t row = Controls.ListSelection();
  if (row < 0 || row > static_cast<int32_t>(ImageRefRows.size()) || Controls.ListCount() < 1)
    return;
  const std::string text = row == 0 ? ListSummaryText() : RowStatusText(row);
  Controls.SetCaption(TLabel::LabelA1, ShortenMiddle(text, kStatusCharacters));
}

std::vector<std::string> TForm1::ListBox1MenuItems(int32_t row) {
  if (row < 1 || row > static_cast<int32_t>(ImageRefRows.size())) return {};
  const TImageRefRow& r = ImageRefRows[static_cast<size_t>(row - 1)];
  if (r.Found || r.ResolvedPath == texts::kFullWidthBlank || IsNetworkRow(r)) return {};
  const TImageRefDiagnosis& d = RowDiagnosis(row);
  std::vector<std::string> items;
  for (size_t c = 0; c < d.Candidates.size() && c < kMenuCandidates; ++c)
    items.push_back(kCopyHere + ShortenMiddle(d.Candidates[c].File.Path, kStatusCharacters));
  if (!items.empty()) items.push_back(kOpenCandidateFolder);
  return items;
}

void TForm1::ListBox1MenuChoice(int32_t row, int32_t item) {
  const std::vector<std::string> items = ListBox1MenuItems(row);
  if (item < 0 || item >= static_cast<int32_t>(items.size())) return;
  const TImageRefDiagnosis& d = RowDiagnosis(row);
  if (item + 1 == static_cast<int32_t>(items.size())) {
    Host.ShowInFolder(d.Candidates[0].File.Path);
    return;
  }
  // Never over a file: the host's copy fails when one is there, and says why.
  const std::string reason =
      Host.CopyNewFile(d.Candidates[static_cast<size_t>(item)].File.Path, d.ResolvedPath);
  if (!reason.empty()) {
    Host.SoundMessageBeep(0x10);
    Host.ShowMessage(kCopyFailed + std::string("\r\n") + reason);
    return;
  }
  Button2Click();
  if (row <= static_cast<int32_t>(ImageRefRows.size()))
    Controls.SetCaption(TLabel::LabelA1, ShortenMiddle(RowStatusText(row), kStatusCharacters));
}

}  // namespace pikrotta
