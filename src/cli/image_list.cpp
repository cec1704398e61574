#include "image_list.h"

#include "null_canvas.h"
#include "sjis_utf8.h"

namespace pikrotta {

bool ParseDriveMapping(const std::string& text, char& letter, std::filesystem::path& folder) {
  if (text.size() < 4 || text[1] != ':' || text[2] != '=' ||
      !std::isalpha(static_cast<unsigned char>(text[0])))
    return false;
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  folder = PathFromUtf8(text.substr(3));
  return true;
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

TListResult ListImageRefs(const TListOptions& options) {
  TSearchWindow<TNullCanvas> window(options);
  TListResult result;
  result.ReadComplete = window.Search({800, 600});
  if (!result.ReadComplete) return result;
  const TForm1& form = window.Form;
  for (const TImageRefRow& row : form.ImageRefRows) result.AllFound &= row.Found;
  if (!options.Json) {
    for (const std::string& row : window.Controls.Rows) result.Output += SjisToUtf8(row) + "\n";
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
