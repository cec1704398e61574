#include "image_list.h"

#include "image_diagnosis.h"
#include "null_canvas.h"
#include "sjis_utf8.h"
#include "stb_header_reader.h"

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

namespace {

nlohmann::ordered_json FileJson(const TImageFile& file) {
  nlohmann::ordered_json j{{"size", file.Size}};
  j["format"] = file.Header ? nlohmann::ordered_json(file.Header->Format) : nullptr;
  j["width"] = file.Header ? file.Header->Width : 0;
  j["height"] = file.Header ? file.Header->Height : 0;
  return j;
}

std::string FileFacts(const TImageFile& file) {
  std::string facts = std::to_string(file.Size);
  facts += " bytes";
  if (!file.Header) return facts;
  facts += ", ";
  facts += file.Header->Format;
  if (file.Header->Width > 0) {
    facts += ' ';
    facts += std::to_string(file.Header->Width);
    facts += 'x';
    facts += std::to_string(file.Header->Height);
  }
  return facts;
}

// What doctor prints of one reference.
std::string Explain(const TImageRefRow& row, const TImageRefDiagnosis& d) {
  std::string text = SjisToUtf8(row.RowText + row.Mark) + "\n";
  if (row.ResolvedPath == texts::kFullWidthBlank)
    text += "  looked for: nothing (the path cannot be resolved)\n";
  else
    text += "  looked for: " + SjisToUtf8(row.ResolvedPath) + "\n";
  if (d.File) text += "  found: " + FileFacts(*d.File) + "\n";
  for (const TFinding& f : d.Findings) text += "  - " + SjisToUtf8(f.English) + "\n";
  for (const TCandidate& c : d.Candidates)
    text += "  candidate: " + SjisToUtf8(c.File.Path) + " (" + FileFacts(c.File) +
            (c.AspectMatches ? ", the placement's aspect" : "") + ")\n";
  const bool network = row.Mark.ends_with(texts::kMarkNetwork);
  if (!row.Found && d.Candidates.empty() && row.ResolvedPath != texts::kFullWidthBlank)
    text += network ? "  (network paths are not searched for candidates)\n"
                    : "  no file of that name nearby\n";
  if (d.CandidateSearchCut)
    text += "  (the search for candidates stopped at its budget of " +
            std::to_string(kCandidateEntryBudget) + " entries or " +
            std::to_string(kCandidateTimeBudgetMicroseconds / 1'000'000) + " s)\n";
  return text;
}

}  // namespace

std::vector<TImageRefDiagnosis> DiagnoseSearch(const TForm1& form, const THostServices& host) {
  const TStbHeaderReader reader;
  const TSteadyClock clock;
  return DiagnoseImageRefs(DiagnosisInputs(form.ImageRefRows, form.ImageRefs),
                           form.DiagnosisPlaces(), host, reader, clock);
}

TListResult ListImageRefs(const TListOptions& options) {
  TSearchWindow<TNullCanvas> window(options);
  TListResult result;
  result.ReadComplete = window.Search({800, 600});
  if (!result.ReadComplete) return result;
  const TForm1& form = window.Form;
  for (const TImageRefRow& row : form.ImageRefRows) result.AllFound &= row.Found;
  if (!options.Json && !options.Doctor) {
    size_t bytes = 0;
    for (const std::string& row : window.Controls.Rows) bytes += row.size() + 1;
    // Room for every row at once, however its characters grow in UTF-8: only what is
    // written is touched.
    result.Output.reserve(bytes * 3 / 2);
    for (const std::string& row : window.Controls.Rows) {
      result.Output += SjisToUtf8(row);
      result.Output += '\n';
    }
    return result;
  }
  const std::vector<TImageRefDiagnosis> diagnoses = DiagnoseSearch(window.Form, *window.Host);
  if (options.Doctor) {
    for (size_t i = 0; i < diagnoses.size(); ++i)
      result.Output += Explain(form.ImageRefRows[i], diagnoses[i]);
    return result;
  }
  nlohmann::ordered_json refs = nlohmann::ordered_json::array();
  for (size_t i = 0; i < diagnoses.size(); ++i) {
    const TImageRefRow& row = form.ImageRefRows[i];
    const TImageRefDiagnosis& d = diagnoses[i];
    const TSearchStr& ref = form.ImageRefs[static_cast<size_t>(row.RefIndex)];
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const TFinding& f : d.Findings)
      findings.push_back({{"code", f.Code}, {"text", SjisToUtf8(f.English)}});
    nlohmann::ordered_json candidates = nlohmann::ordered_json::array();
    for (const TCandidate& c : d.Candidates) {
      nlohmann::ordered_json j{{"path", SjisToUtf8(c.File.Path)}};
      j.update(FileJson(c.File));
      j["aspectMatches"] = c.AspectMatches;
      candidates.push_back(std::move(j));
    }
    refs.push_back({{"path", SjisToUtf8(row.RowText)},
                    {"resolved", SjisToUtf8(row.ResolvedPath)},
                    {"mark", SjisToUtf8(row.Mark)},
                    {"entity", ref.EntityIndex},
                    {"x", ref.X},
                    {"y", ref.Y},
                    {"file", d.File ? FileJson(*d.File) : nlohmann::ordered_json(nullptr)},
                    {"findings", std::move(findings)},
                    {"candidates", std::move(candidates)},
                    {"candidateSearchCut", d.CandidateSearchCut}});
  }
  result.Output = refs.dump(1) + "\n";
  return result;
}

TRestoreResult RestoreImageRefs(const TListOptions& options, bool apply) {
  TSearchWindow<TNullCanvas> window(options);
  TRestoreResult result;
  result.ReadComplete = window.Search({800, 600});
  if (!result.ReadComplete) return result;
  const std::vector<TImageRefRow>& rows = window.Form.ImageRefRows;
  const std::vector<TImageRefDiagnosis> diagnoses = DiagnoseSearch(window.Form, *window.Host);
  const TRestorePlan plan = PlanRestores(DiagnosisInputs(rows, window.Form.ImageRefs), diagnoses);
  for (const TRestoreCopy& copy : plan.Copies) {
    const std::string from = SjisToUtf8(copy.From), to = SjisToUtf8(copy.To);
    if (!apply) {
      result.Output += "would copy " + from + " to " + to + "\n";
      continue;
    }
    const std::string reason = window.Host->CopyNewFile(copy.From, copy.To);
    if (reason.empty()) {
      result.Output += "copied " + from + " to " + to + "\n";
    } else {
      result.Errors +=
          "pikrotta-cli: cannot copy " + from + " to " + to + ": " + SjisToUtf8(reason) + "\n";
      result.AllCopied = false;
    }
  }
  for (const size_t r : plan.Ambiguous) {
    result.Output += "several candidates, left alone: " + SjisToUtf8(rows[r].RowText) + "\n";
    for (const TCandidate& c : diagnoses[r].Candidates)
      if (c.AspectMatches) result.Output += "  " + SjisToUtf8(c.File.Path) + "\n";
  }
  return result;
}

}  // namespace pikrotta
