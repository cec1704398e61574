// The image-reference search: every "^@BM" text, where its file lies and whether it is there.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string_view>

#include "image_ref.h"
#include "jwcad_lookup.h"
#include "main_window.h"
#include "my_func.h"
#include "network_paths.h"

namespace pikrotta {

namespace {

constexpr uint32_t kBeepDefault = 0xFFFF;

// Finds rows of one resolved path through a table of row numbers, each beside the upper half
// of its path's hash so that most probes do not visit the row: a map holding a node per path
// took as much memory as the rows themselves.
class TRowsByPath {
 public:
  explicit TRowsByPath(const std::vector<TImageRefRow>& rows) : Rows(rows) {
    size_t size = 16;
    while (size < rows.size() * 2) size *= 2;
    Slots.assign(size, {kFree, 0});
  }

  // The first row taken in whose path is row r's; r itself, taken in, when there is none.
  size_t FirstWithPathOf(size_t r) {
    const std::string_view path = Rows[r].ResolvedPath;
    const uint64_t hash = std::hash<std::string_view>{}(path);
    const auto check = static_cast<uint32_t>(hash >> 32);
    const size_t mask = Slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      TSlot& slot = Slots[at];
      if (slot.Row == kFree) {
        slot = {static_cast<uint32_t>(r), check};
        return r;
      }
      if (slot.Check == check && Rows[slot.Row].ResolvedPath == path) return slot.Row;
    }
  }

 private:
  struct TSlot {
    uint32_t Row;
    uint32_t Check;
  };
  static constexpr uint32_t kFree = UINT32_MAX;
  const std::vector<TImageRefRow>& Rows;
  std::vector<TSlot> Slots;
};

}  // namespace

void TForm1::CollectImageRefs() {
  ImageRefs.clear();
  const std::string& prefix = Gra->SearchPrefix;
  auto matches = [&](const std::string& text) {
    return !prefix.empty() && text.starts_with(prefix);
  };
  for (int32_t i = 0; i < JwwGaibu.JwwTextCount; ++i) {
    const TJwwEntText& t = JwwGaibu.JwwTexts[static_cast<size_t>(i)];
    if (matches(t.Text)) ImageRefs.push_back({0, i, t.X, t.Y, t.Text});
  }
  for (int32_t i = 0; i < JwwGaibu.JwwMsgTextCount; ++i) {
    const TJwwEntText& t = JwwGaibu.JwwMsgTexts[static_cast<size_t>(i)].Body;
    if (matches(t.Text)) ImageRefs.push_back({1, i, t.X, t.Y, t.Text});
  }
  // The list grows geometrically: growing by a fixed step of 100 moved every entry at each
  // step, which made the search quadratic in the number of references.
  ImageRefs.shrink_to_fit();
}

std::string TForm1::FindNewestTempFolder(const std::string& autoSaveFolder) const {
  const TDateTime today = Host.Clock().Now();
  char date[16];
  std::snprintf(date, sizeof date, "%04d%02d%02d", today.Year, today.Month, today.Day);
  std::string best;
  int32_t bestTime = 0;
  bool found = false;
  for (const TFolderEntry& entry : Host.ListFolder(autoSaveFolder + date + "-*.*")) {
    if (!entry.IsFolder || entry.Name == "." || entry.Name == "..") continue;
    // Strictly later wins, so of equal stamps the first listed stays.
    if (!found || entry.DosTime > bestTime) {
      best = entry.Name;
      bestTime = entry.DosTime;
      found = true;
    }
  }
  return best;
}

void TForm1::Button2Click() {
  Gra->SearchPrefix = std::string(kImageRefPrefix);
  RedrawView();
  CollectImageRefs();

  const std::string settingsFile = ExtractFilePath(Controls.Caption(TLabel::Label3)) + "jw_win.jwf";
  const std::string autoSaveFolder = ReadAutoSaveFolder(Host, settingsFile);
  Controls.SetCaption(TLabel::Label4, autoSaveFolder);
  if (!Host.FolderExists(autoSaveFolder)) {
    Host.SoundMessageBeep(kBeepDefault);
    Host.ShowMessage(texts::kMissingAutoSaveFolder);
  }
  const std::string tempName = FindNewestTempFolder(autoSaveFolder);
  Controls.SetCaption(TLabel::Label5, tempName);
  const std::string tempFolder = autoSaveFolder + tempName + "\\";

  ImageRefRows.clear();
  RowDiagnoses.clear();
  ImageRefRows.reserve(ImageRefs.size());
  const std::string drawingName = Controls.Caption(TLabel::Label2);
  const std::string drawingFolder = ExtractFilePath(drawingName);
  std::vector<bool> networkRows;
  networkRows.reserve(ImageRefs.size());
  for (size_t i = 0; i < ImageRefs.size(); ++i) {
    const TSearchStr& ref = ImageRefs[i];
    if (ref.SourceKind == 1) continue;
    TImageRefRow& row = ImageRefRows.emplace_back();
    row.RefIndex = static_cast<int32_t>(i);
    row.RowText = ImageRefPath(ref.Text);
    // An empty path cannot be resolved, whether the drawing was saved or not.
    const bool empty = row.RowText.empty();
    if (empty) row.RowText = texts::kFullWidthBlank;
    std::string second;
    CopyCharsMB(row.RowText, 2, 2, second);
    // "\\?\C:\..." and "\\.\C:\..." are local paths written in full, no network path.
    const bool local = LocalPrefixLength(row.RowText) > 0;
    const bool network = !local && PosMB("\\\\", row.RowText) > 0;
    if (empty)
      row.ResolvedPath = texts::kFullWidthBlank;
    else if (second == ":\\" || network || local)
      row.ResolvedPath = row.RowText;
    else if (row.RowText.starts_with("%temp%"))
      row.ResolvedPath = tempFolder + row.RowText.substr(6);
    else if (drawingName != texts::kNewDrawing)
      row.ResolvedPath = drawingFolder + row.RowText;
    else
      row.ResolvedPath = texts::kFullWidthBlank;
    networkRows.push_back(network);
  }

  // Each distinct path is asked of the file system once: drawings repeat a picture on many
  // sheets. The network paths are asked first, all together and within a bound, so a server
  // that does not answer holds the search up once, not once per row. The local ones are
  // asked together too, so the host can answer a folder's many paths from one listing.
  // Each row keeps where its path stands among those asked, so answers go back without a
  // second look-up.
  struct TAsked {
    bool Network = false;
    int32_t Index = -1;  // into networkPaths or localPaths
  };
  std::vector<TAsked> rowAsked(ImageRefRows.size());
  TRowsByPath byPath(ImageRefRows);
  std::vector<std::string> networkPaths;
  std::vector<std::string_view> localPaths;
  auto ask = [&](size_t r, bool network, auto& paths) {
    const size_t first = byPath.FirstWithPathOf(r);
    if (first == r) {
      rowAsked[r] = {network, static_cast<int32_t>(paths.size())};
      paths.emplace_back(ImageRefRows[r].ResolvedPath);
    } else {
      rowAsked[r] = rowAsked[first];
    }
  };
  for (size_t r = 0; r < ImageRefRows.size(); ++r)
    if (networkRows[r]) ask(r, true, networkPaths);
  for (size_t r = 0; r < ImageRefRows.size(); ++r)
    if (!networkRows[r] && ImageRefRows[r].ResolvedPath != texts::kFullWidthBlank)
      ask(r, false, localPaths);
  // A path without an answer counts as not found.
  const std::vector<bool> localAnswers = Host.FilesExist(localPaths);
  std::vector<bool> localFound(localPaths.size(), false), networkFound(networkPaths.size(), false);
  for (size_t p = 0; p < localPaths.size() && p < localAnswers.size(); ++p)
    localFound[p] = localAnswers[p];
  const std::vector<TExistence> answers = Host.NetworkFilesExist(networkPaths);
  std::vector<std::string> silentServers;
  for (size_t p = 0; p < networkPaths.size() && p < answers.size(); ++p) {
    networkFound[p] = answers[p] == TExistence::Found;
    if (answers[p] != TExistence::NoAnswer) continue;
    std::string server = NetworkServerOf(networkPaths[p]);
    if (std::find(silentServers.begin(), silentServers.end(), server) == silentServers.end())
      silentServers.push_back(std::move(server));
  }

  std::vector<std::string> listRows;
  listRows.reserve(ImageRefRows.size() + 1);
  listRows.push_back(texts::kListHeader + std::to_string(Gra->ImageRefTextCount));
  for (size_t r = 0; r < ImageRefRows.size(); ++r) {
    TImageRefRow& row = ImageRefRows[r];
    if (row.ResolvedPath == texts::kFullWidthBlank) {
      row.Mark = texts::kMarkUnresolvable;
    } else {
      const TAsked where = rowAsked[r];
      row.Found = where.Network ? networkFound[static_cast<size_t>(where.Index)]
                                : localFound[static_cast<size_t>(where.Index)];
      row.Mark = row.Found ? texts::kMarkFound : texts::kMarkMissing;
      if (networkRows[r]) row.Mark += texts::kMarkNetwork;
    }
    std::string& text = listRows.emplace_back();
    text.reserve(row.RowText.size() + row.Mark.size());
    text += row.RowText;
    text += row.Mark;
  }
  Controls.SetListRows(std::move(listRows));
  ShowSilentServers(silentServers);
}

// Says in the status line which servers gave no answer in time, and clears what an earlier
// search said there once every server answers.
void TForm1::ShowSilentServers(const std::vector<std::string>& servers) {
  if (servers.empty()) {
    if (SilentServersShown) Controls.SetCaption(TLabel::LabelA1, "");
    SilentServersShown = false;
    return;
  }
  std::string text = std::to_string(kNetworkAnswerBound.count() / 1000);
  text += texts::kNoAnswerFromServers;
  for (size_t i = 0; i < servers.size(); ++i) {
    if (i > 0) text += texts::kListSeparator;
    text += servers[i];
  }
  Controls.SetCaption(TLabel::LabelA1, text);
  SilentServersShown = true;
}

void TForm1::ListBox1DblClick() {
  if (Controls.ListCount() < 2) return;
  const int32_t element = Controls.ListSelection() - 1;
  if (element < 0 || element >= static_cast<int32_t>(ImageRefs.size())) return;
  CentreViewOn(ImageRefs[static_cast<size_t>(element)].X,
               ImageRefs[static_cast<size_t>(element)].Y);
}

}  // namespace pikrotta
