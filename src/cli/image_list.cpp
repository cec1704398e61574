#include "image_list.h"

#include <map>
#include <vector>

#include "main_window.h"
#include "null_canvas.h"
#include "posix_host.h"
#include "sjis_utf8.h"

namespace pikrotta {

namespace {

// The window's controls without a window: captions and rows kept in memory.
class THeadlessControls : public TWindowControls {
 public:
  std::string Caption(TLabel label) const override {
    const auto it = Captions.find(label);
    return it == Captions.end() ? std::string() : it->second;
  }
  void SetCaption(TLabel label, const std::string& text) override { Captions[label] = text; }
  void ClearList() override { Rows.clear(); }
  void AddListRow(const std::string& text) override { Rows.push_back(text); }
  int32_t ListCount() const override { return static_cast<int32_t>(Rows.size()); }
  int32_t ListSelection() const override { return -1; }
  TWindowBounds WindowBounds() const override { return Bounds; }
  void SetWindowBounds(const TWindowBounds& bounds) override { Bounds = bounds; }
  int32_t PanelWidth() const override { return Panel; }
  void SetPanelWidth(int32_t width) override { Panel = width; }
  TPoint PaintAreaSize() const override { return {800, 600}; }
  TPoint CursorPosition() const override { return {-1, -1}; }
  void FocusEditA() override {}
  TCanvas& PaintCanvas() override { return Canvas; }
  void CloseWindow() override {}

  std::map<TLabel, std::string> Captions;
  std::vector<std::string> Rows;
  TWindowBounds Bounds;
  int32_t Panel = 200;
  TNullCanvas Canvas;
};

}  // namespace

bool ParseDriveMapping(const std::string& text, char& letter, std::filesystem::path& folder) {
  if (text.size() < 4 || text[1] != ':' || text[2] != '=' ||
      !std::isalpha(static_cast<unsigned char>(text[0])))
    return false;
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  folder = text.substr(3);
  return true;
}

TListResult ListImageRefs(const TListOptions& options) {
  TPosixHost host;
  host.Drives = options.Drives;
  host.JwcadOpenCommand = options.JwcadPath;
  THeadlessControls controls;
  TForm1 form(controls, host);
  form.FormCreate();
  form.ShowDrawing(options.TransferFile);
  form.Button2Click();

  TListResult result;
  for (const TImageRefRow& row : form.ImageRefRows) result.AllFound &= row.Found;
  if (!options.Json) {
    for (const std::string& row : controls.Rows) result.Output += SjisToUtf8(row) + "\n";
    return result;
  }
  nlohmann::ordered_json refs = nlohmann::ordered_json::array();
  for (const TImageRefRow& row : form.ImageRefRows) {
    const TSearchStr& ref = form.ImageRefs[static_cast<size_t>(row.RefIndex)];
    refs.push_back({{"path", SjisToUtf8(row.RowText)},
                    {"resolved", SjisToUtf8(row.ResolvedPath)},
                    {"mark", SjisToUtf8(row.Mark)},
                    {"entity", ref.EntityIndex},
                    {"x", ref.X},
                    {"y", ref.Y}});
  }
  result.Output = refs.dump(1) + "\n";
  return result;
}

}  // namespace pikrotta
