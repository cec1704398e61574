#include "image_diagnosis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "image_ref.h"
#include "main_window.h"
#include "my_func.h"
#include "window_texts.h"

namespace pikrotta {

namespace {

// The sentences of the findings; {} stands for what each names.
struct TFindingText {
  const char* Code;
  const char* Japanese;
  const char* English;
};
// ファイルはありますが、空です（0 バイト）。
constexpr TFindingText kEmpty{
    "empty",
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xaa\x81\x41\x8b"
    "\xf3\x82\xc5\x82\xb7\x81\x69\x30 \x83\x6f\x83\x43\x83\x67\x81\x6a\x81\x42",
    "The file is there but empty (0 bytes)."};
// ファイルはありますが、読めません。
constexpr TFindingText kUnreadable{
    "unreadable",
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xaa\x81\x41\x93"
    "\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x81\x42",
    "The file is there but cannot be read."};
// ファイルはありますが、画像ではありません。
constexpr TFindingText kNotAnImage{
    "not-an-image",
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xaa\x81\x41\x89"
    "\xe6\x91\x9c\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42",
    "The file is there but is no picture of a known format (BMP, JPEG, PNG, GIF, TIFF)."};
// {} のファイルのようですが、ヘッダーを読めません。壊れているか途中で切れています。
constexpr TFindingText kDamaged{
    "damaged",
    "{} "
    "\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x82\xe6\x82\xa4\x82\xc5\x82\xb7\x82\xaa\x81"
    "\x41\x83\x77\x83\x62\x83\x5f\x81\x5b\x82\xf0\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x81\x42"
    "\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xe9\x82\xa9\x93\x72\x92\x86\x82\xc5\x90\xd8\x82\xea\x82"
    "\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42",
    "The file begins as a {} but its header cannot be read: it is damaged or cut off."};
// 画像の縦横比（{}）が配置（{}）と違います。別の画像かもしれません。
constexpr TFindingText kAspect{
    "aspect-mismatch",
    "\x89\xe6\x91\x9c\x82\xcc\x8f\x63\x89\xa1\x94\xe4\x81\x69{}"
    "\x81\x6a\x82\xaa\x94\x7a\x92\x75\x81\x69{}"
    "\x81\x6a\x82\xc6\x88\xe1\x82\xa2\x82\xdc\x82\xb7\x81\x42\x95\xca\x82\xcc\x89\xe6\x91\x9c\x82"
    "\xa9\x82\xe0\x82\xb5\x82\xea\x82\xdc\x82\xb9\x82\xf1\x81\x42",
    "The picture ({}) has another aspect than its placement ({}): it is probably not the "
    "picture that was placed."};
// %temp%
// と小文字で書かれていないので、一時フォルダーではなく図面のフォルダーからのパスとして読みました。
constexpr TFindingText kTempCase{
    "temp-case",
    "\x25\x74\x65\x6d\x70\x25 "
    "\x82\xc6\x8f\xac\x95\xb6\x8e\x9a\x82\xc5\x8f\x91\x82\xa9\x82\xea\x82\xc4\x82\xa2\x82\xc8\x82"
    "\xa2\x82\xcc\x82\xc5\x81\x41\x88\xea\x8e\x9e\x83\x74\x83\x48\x83\x8b\x83\x5f\x81\x5b\x82\xc5"
    "\x82\xcd\x82\xc8\x82\xad\x90}"
    "\x96\xca\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x81\x5b\x82\xa9\x82\xe7\x82\xcc\x83\x70\x83"
    "\x58\x82\xc6\x82\xb5\x82\xc4\x93\xc7\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42",
    "Only \"%temp%\" in lower case stands for the temporary folder; written otherwise, the "
    "path was read from the drawing's folder."};
// \ で始まるパスです。Windows
// はドライブのルートから（{}）、検索は図面のフォルダーから（{}）読みます。
constexpr TFindingText kRootRelative{
    "root-relative",
    "\x5c "
    "\x82\xc5\x8e\x6e\x82\xdc\x82\xe9\x83\x70\x83\x58\x82\xc5\x82\xb7\x81\x42\x57\x69\x6e\x64\x6f"
    "\x77\x73 "
    "\x82\xcd\x83\x68\x83\x89\x83\x43\x83\x75\x82\xcc\x83\x8b\x81\x5b\x83\x67\x82\xa9\x82\xe7\x81"
    "\x69{}\x81\x6a\x81\x41\x8c\x9f\x8d\xf5\x82\xcd\x90}"
    "\x96\xca\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x81\x5b\x82\xa9\x82\xe7\x81\x69{}"
    "\x81\x6a\x93\xc7\x82\xdd\x82\xdc\x82\xb7\x81\x42",
    "The path begins with a single backslash: Windows reads it from the drive's root ({}), "
    "the search from the drawing's folder ({})."};
// ネットワーク上のパスです。画像同梱で図面に入れることはできません。
constexpr TFindingText kNetwork{
    "network",
    "\x83\x6c\x83\x62\x83\x67\x83\x8f\x81\x5b\x83\x4e\x8f\xe3\x82\xcc\x83\x70\x83\x58\x82\xc5\x82"
    "\xb7\x81\x42\x89\xe6\x91\x9c\x93\xaf\x8d\xab\x82\xc5\x90}"
    "\x96\xca\x82\xc9\x93\xfc\x82\xea\x82\xe9\x82\xb1\x82\xc6\x82\xcd\x82\xc5\x82\xab\x82\xdc\x82"
    "\xb9\x82\xf1\x81\x42",
    "A network path: Jw_cad's picture packing ("
    "\x89\xe6\x91\x9c\x93\xaf\x8d\xab"
    ") cannot pack it."};
// パスが 259 文字を超えています。
constexpr TFindingText kLongPath{
    "long-path",
    "\x83\x70\x83\x58\x82\xaa \x32\x35\x39 "
    "\x95\xb6\x8e\x9a\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42",
    "The path is longer than 259 characters."};
// {} の一時フォルダーにあります。Jw_cad で図面を開き直すと展開し直されます。
constexpr TFindingText kEarlierDay{
    "temp-earlier-day",
    "{} "
    "\x82\xcc\x88\xea\x8e\x9e\x83\x74\x83\x48\x83\x8b\x83\x5f\x81\x5b\x82\xc9\x82\xa0\x82\xe8\x82"
    "\xdc\x82\xb7\x81\x42\x4a\x77\x5f\x63\x61\x64 "
    "\x82\xc5\x90}"
    "\x96\xca\x82\xf0\x8a\x4a\x82\xab\x92\xbc\x82\xb7\x82\xc6\x93\x57\x8a\x4a\x82\xb5\x92\xbc\x82"
    "\xb3\x82\xea\x82\xdc\x82\xb7\x81\x42",
    "Unpacked on {}; reopen the drawing in Jw_cad to unpack it again."};

TFinding Make(const TFindingText& text, std::initializer_list<std::string_view> values = {}) {
  return {text.Code, FillPlaceholders(text.Japanese, values),
          FillPlaceholders(text.English, values)};
}

std::string FileNameOf(const std::string& path) {
  return path.substr(ExtractFilePath(path).size());
}

// The folder above one that ends in "\": "" at a root.
std::string ParentFolder(const std::string& folder) {
  if (folder.size() < 2) return {};
  const std::string parent = ExtractFilePath(std::string_view(folder).substr(0, folder.size() - 1));
  return parent.size() < 3 ? std::string() : parent;
}

std::string StemOf(const std::string& name) {
  return ChangeFileExt(name, "");
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

bool IsNetworkFolder(const std::string& folder) {
  return folder.starts_with("\\\\") && LocalPrefixLength(folder) == 0;
}

// Folders listed once per diagnosis, within one budget of entries and time.
class TFolderWalk {
 public:
  TFolderWalk(const THostServices& host, const TMonotonicClock& clock)
      : Host(host), Clock(clock), Start(clock.Microseconds()) {}

  bool Cut() const { return CutShort; }

  // The entries of a folder ending in "\", or none once the budget is spent.
  const std::vector<TFolderEntry>& Entries(const std::string& folder) {
    static const std::vector<TFolderEntry> kNone;
    if (const auto it = Listed.find(folder); it != Listed.end()) return it->second;
    if (IsNetworkFolder(folder)) return kNone;
    if (Spent >= kCandidateEntryBudget ||
        Clock.Microseconds() - Start >= kCandidateTimeBudgetMicroseconds) {
      CutShort = true;
      return kNone;
    }
    std::vector<TFolderEntry> entries = Host.ListFolder(folder + "*");
    std::erase_if(entries, [](const TFolderEntry& e) { return e.Name == "." || e.Name == ".."; });
    Spent += static_cast<int32_t>(std::min<size_t>(entries.size(), kCandidateEntryBudget));
    return Listed.emplace(folder, std::move(entries)).first->second;
  }

  // Files in folder and the folders below it to depth, whose names pass match.
  template <class TMatch>
  void Find(const std::string& folder, int depth, TMatch match, std::vector<std::string>& found) {
    if (folder.empty()) return;
    // The folder's own files come before those below it. The cache is a map, so listing the
    // folders below leaves these entries where they are.
    const std::vector<TFolderEntry>& entries = Entries(folder);
    for (const TFolderEntry& e : entries)
      if (!e.IsFolder && match(e.Name)) found.push_back(folder + e.Name);
    if (depth == 0) return;
    for (const TFolderEntry& e : entries)
      if (e.IsFolder) Find(folder + e.Name + "\\", depth - 1, match, found);
  }

 private:
  const THostServices& Host;
  const TMonotonicClock& Clock;
  const int64_t Start;
  int32_t Spent = 0;
  bool CutShort = false;
  std::map<std::string, std::vector<TFolderEntry>> Listed;
};

// Dated temporary folders of the auto-save folder ("20261203-..."), newest first.
std::vector<std::string> DatedTempFolders(const THostServices& host, const std::string& autoSave) {
  std::vector<std::string> names;
  if (autoSave.empty()) return names;
  for (const TFolderEntry& e : host.ListFolder(autoSave + std::string(8, '?') + "-*")) {
    const bool dated = e.Name.size() > 9 && e.Name[8] == '-' &&
                       std::all_of(e.Name.begin(), e.Name.begin() + 8,
                                   [](char c) { return c >= '0' && c <= '9'; });
    if (e.IsFolder && dated) names.push_back(e.Name);
  }
  std::sort(names.rbegin(), names.rend());
  return names;
}

// What follows "%temp%", without the backslash that joins it to the folder.
std::string RestOfTempPath(const std::string& path) {
  return path.substr(path.size() > 6 && path[6] == '\\' ? 7 : 6);
}

std::string DateOf(const std::string& datedName) {
  return datedName.substr(0, 4) + "-" + datedName.substr(4, 2) + "-" + datedName.substr(6, 2);
}

void AddFindings(const TDiagnosisInput& ref, const TDiagnosisPlaces& places,
                 const THostServices& host, TImageRefDiagnosis& d,
                 const std::vector<std::string>& datedTemps) {
  if (d.File) {
    const TImageFile& file = *d.File;
    if (!file.Readable && file.Size != 0)
      d.Findings.push_back(Make(kUnreadable));
    else if (file.Size == 0)
      d.Findings.push_back(Make(kEmpty));
    else if (!file.Header)
      d.Findings.push_back(Make(kNotAnImage));
    else if (file.Header->Format.empty()) {
    }  // read by no decoder: nothing to say of its header
    else if (file.Header->Width == 0 && file.Header->Format != "TIFF")  // stb reads no TIFF
      d.Findings.push_back(Make(kDamaged, {file.Header->Format}));
    else if (file.Header->Width > 0 && !AspectMatches(file.Header, ref.Width, ref.Height))
      d.Findings.push_back(
          Make(kAspect, {Number(file.Header->Width) + "x" + Number(file.Header->Height) + " px",
                         Number(ref.Width) + ":" + Number(ref.Height)}));
  }
  const std::string& path = ref.RefPath;
  if (path.size() >= 6 && !path.starts_with("%temp%") && UpperCaseMB(path.substr(0, 6)) == "%TEMP%")
    d.Findings.push_back(Make(kTempCase));
  if (path.starts_with("\\") && !path.starts_with("\\\\")) {
    const std::string folder = ExtractFilePath(places.DrawingName);
    const std::string drive = folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) : "";
    if (!drive.empty()) d.Findings.push_back(Make(kRootRelative, {drive + path, d.ResolvedPath}));
  }
  if (ref.Network) d.Findings.push_back(Make(kNetwork));
  if (d.ResolvedPath != texts::kFullWidthBlank && LengthMB(d.ResolvedPath) > 259)
    d.Findings.push_back(Make(kLongPath));
  if (!ref.Found && path.starts_with("%temp%")) {
    for (const std::string& name : datedTemps) {
      if (name.starts_with(places.TodayTempName.substr(0, 8)) && !places.TodayTempName.empty())
        continue;  // today's is the one the search looked in
      if (host.FileExists(places.AutoSaveFolder + name + "\\" + RestOfTempPath(path))) {
        d.Findings.push_back(Make(kEarlierDay, {DateOf(name)}));
        break;
      }
    }
  }
}

void AddCandidates(const TDiagnosisInput& ref, const TDiagnosisPlaces& places,
                   const THostServices& host, const TImageHeaderReader& reader, TFolderWalk& walk,
                   const std::vector<std::string>& datedTemps, TImageRefDiagnosis& d) {
  const std::string name = FileNameOf(d.ResolvedPath);
  if (name.empty()) return;
  auto sameName = [&](const std::string& n) { return SameFileName(n, name); };
  std::vector<std::string> found;
  const std::string expected = ExtractFilePath(d.ResolvedPath);
  const std::string parent = ParentFolder(expected);
  // The expected folder's siblings, then the drawing's own folder tree, each three levels
  // below the folder above the expected one.
  if (!parent.empty()) {
    const std::vector<TFolderEntry> siblings = walk.Entries(parent);
    for (const TFolderEntry& e : siblings)
      if (e.IsFolder && parent + e.Name + "\\" != expected)
        walk.Find(parent + e.Name + "\\", 2, sameName, found);
  }
  const std::string drawingFolder =
      places.DrawingName == texts::kNewDrawing ? "" : ExtractFilePath(places.DrawingName);
  walk.Find(drawingFolder, 3, sameName, found);
  // The drawing's parents, then the dated temporary folders.
  std::string up = drawingFolder;
  for (int level = 0; level < 2 && !(up = ParentFolder(up)).empty(); ++level)
    walk.Find(up, 2, sameName, found);
  for (const std::string& temp : datedTemps)
    walk.Find(places.AutoSaveFolder + temp + "\\", 0, sameName, found);
  // A renamed file: the same stem with another extension, where it was expected.
  const std::string stem = StemOf(name);
  if (!expected.empty() && host.FolderExists(expected))
    walk.Find(
        expected, 0,
        [&](const std::string& n) {
          return SameFileName(StemOf(n), stem) && !SameFileName(n, name);
        },
        found);
  std::set<std::string> seen;
  for (const std::string& path : found) {
    if (!seen.insert(path).second || path == d.ResolvedPath) continue;
    TCandidate c;
    c.File = InspectImageFile(host, reader, path);
    c.AspectMatches = AspectMatches(c.File.Header, ref.Width, ref.Height);
    d.Candidates.push_back(std::move(c));
  }
  // Best first: where they were found, and of those, the ones of the placement's aspect.
  std::stable_sort(
      d.Candidates.begin(), d.Candidates.end(),
      [](const TCandidate& a, const TCandidate& b) { return a.AspectMatches && !b.AspectMatches; });
}

}  // namespace

std::string FillPlaceholders(std::string_view text,
                             std::initializer_list<std::string_view> values) {
  std::string out;
  auto value = values.begin();
  for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1) {
    if (text.substr(i, 2) == "{}" && value != values.end()) {
      out += *value++;
      ++i;
      continue;
    }
    out += text.substr(i, IsLeadByte(text[i]) ? 2 : 1);
  }
  return out;
}

TImageFile InspectImageFile(const THostServices& host, const TImageHeaderReader& reader,
                            const std::string& path) {
  TImageFile file;
  file.Path = path;
  const std::unique_ptr<TInputFile> input = host.OpenForReading(path);
  if (!input) return file;
  file.Size = input->Size();
  // A few kilobytes hold most headers; only a picture whose size is not in them yet (a JPEG
  // after its metadata) is read on, to kImageHeaderBytes. A list of many pictures is then
  // diagnosed without reading each one's quarter megabyte.
  std::string bytes;
  bool ended = false;
  for (size_t want = kFirstHeaderBytes;; want = kImageHeaderBytes) {
    size_t got = bytes.size();
    bytes.resize(want);
    while (got < want) {
      const int64_t n = input->Read(bytes.data() + got, want - got);
      if (n < 0) return file;
      if (n == 0) {
        ended = true;
        break;
      }
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    file.Header = reader.ReadHeader(bytes);
    const bool sizeToCome = file.Header && file.Header->Width == 0 &&
                            !file.Header->Format.empty() && file.Header->Format != "TIFF";
    if (ended || !sizeToCome || want == kImageHeaderBytes) break;
  }
  file.Readable = true;
  // A file that does not tell its length has it when it ended within the bytes read.
  if (file.Size < 0 && ended) file.Size = static_cast<int64_t>(bytes.size());
  return file;
}

bool AspectMatches(const std::optional<TImageHeader>& header, double width, double height) {
  if (!header || header->Width <= 0 || header->Height <= 0 || !(width > 0) || !(height > 0))
    return false;
  const double picture = static_cast<double>(header->Width) / header->Height;
  return std::fabs(picture / (width / height) - 1) <= kAspectTolerance;
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      // A double-byte character matches only as a whole, so no trail byte is a letter here.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (IsLeadByte(b[i]) && i + 1 < b.size()) return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

TRestorePlan PlanRestores(const std::vector<TDiagnosisInput>& refs,
                          const std::vector<TImageRefDiagnosis>& diagnoses) {
  TRestorePlan plan;
  for (size_t r = 0; r < refs.size() && r < diagnoses.size(); ++r) {
    if (refs[r].Found || refs[r].Network || refs[r].ResolvedPath == texts::kFullWidthBlank)
      continue;
    const std::string name = FileNameOf(diagnoses[r].ResolvedPath);
    std::vector<const TCandidate*> matching;
    for (const TCandidate& c : diagnoses[r].Candidates)
      if (c.AspectMatches && SameFileName(FileNameOf(c.File.Path), name)) matching.push_back(&c);
    if (matching.size() == 1)
      plan.Copies.push_back({r, matching[0]->File.Path, diagnoses[r].ResolvedPath});
    else if (matching.size() > 1)
      plan.Ambiguous.push_back(r);
  }
  return plan;
}

std::vector<TDiagnosisInput> DiagnosisInputs(const std::vector<TImageRefRow>& rows,
                                             const std::vector<TSearchStr>& refs) {
  std::vector<TDiagnosisInput> inputs;
  inputs.reserve(rows.size());
  for (const TImageRefRow& row : rows) {
    const TImageRef ref = ParseImageRef(refs[static_cast<size_t>(row.RefIndex)].Text);
    inputs.push_back({row.RowText, row.ResolvedPath, row.Found,
                      row.Mark.ends_with(texts::kMarkNetwork), ref.ImageWidth, ref.ImageHeight});
  }
  return inputs;
}

std::vector<TImageRefDiagnosis> DiagnoseImageRefs(const std::vector<TDiagnosisInput>& refs,
                                                  const TDiagnosisPlaces& places,
                                                  const THostServices& host,
                                                  const TImageHeaderReader& reader,
                                                  const TMonotonicClock& clock, bool candidates) {
  std::vector<TImageRefDiagnosis> out;
  out.reserve(refs.size());
  TFolderWalk walk(host, clock);
  const std::vector<std::string> datedTemps = DatedTempFolders(host, places.AutoSaveFolder);
  for (const TDiagnosisInput& ref : refs) {
    TImageRefDiagnosis d;
    d.ResolvedPath = ref.ResolvedPath;
    if (ref.Found) d.File = InspectImageFile(host, reader, ref.ResolvedPath);
    AddFindings(ref, places, host, d, datedTemps);
    if (candidates && !ref.Found && ref.ResolvedPath != texts::kFullWidthBlank && !ref.Network) {
      AddCandidates(ref, places, host, reader, walk, datedTemps, d);
      d.CandidateSearchCut = walk.Cut();
    }
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace pikrotta
