// Why a listed image reference is broken and where its file may have gone: the facts of the
// file the search found, findings about the reference, and files of the same name nearby.
// Everything here runs after the search and changes none of its rows or marks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_interfaces.h"
#include "host_services.h"

namespace pikrotta {

struct TImageRefRow;
struct TSearchStr;

struct TImageHeader {
  std::string Format;  // "BMP", "JPEG", "PNG", "GIF", "TIFF"
  int32_t Width = 0;   // 0 when the format's pixel size is not read
  int32_t Height = 0;
};

// Reads a picture's header from its first bytes, with a decoder library at the edge: the
// core takes none.
class TImageHeaderReader {
 public:
  virtual ~TImageHeaderReader() = default;
  // Nothing when the bytes are no picture of a known format.
  virtual std::optional<TImageHeader> ReadHeader(std::string_view firstBytes) const = 0;
};

// The bytes a header is looked for in first, and at most: a JPEG's size may come after
// its metadata.
constexpr size_t kFirstHeaderBytes = 4 * 1024;
constexpr size_t kImageHeaderBytes = 256 * 1024;

struct TImageFile {
  std::string Path;
  int64_t Size = -1;      // -1 when it could not be opened
  bool Readable = false;  // opened and its first bytes read
  std::optional<TImageHeader> Header;
};

TImageFile InspectImageFile(const THostServices& host, const TImageHeaderReader& reader,
                            const std::string& path);

// How far width:height of a picture may differ from its placement before it is probably
// another picture: 2 %.
constexpr double kAspectTolerance = 0.02;
// True when the pixel size's aspect is the placement's within the tolerance; false when
// either is unknown.
bool AspectMatches(const std::optional<TImageHeader>& header, double width, double height);

struct TFinding {
  std::string Code;      // "empty", "not-an-image", ...
  std::string Japanese;  // Shift-JIS, for the window
  std::string English;   // for the command line and the report; paths in Shift-JIS
};

struct TCandidate {
  TImageFile File;
  bool AspectMatches = false;
};

// The bounds of the search for candidates, in one place: entries listed and time taken.
constexpr int32_t kCandidateEntryBudget = 20'000;
constexpr int64_t kCandidateTimeBudgetMicroseconds = 2'000'000;

struct TImageRefDiagnosis {
  std::string ResolvedPath;        // as the search tested it
  std::optional<TImageFile> File;  // when the search found it
  std::vector<TFinding> Findings;
  std::vector<TCandidate> Candidates;  // for a missing file, best first
  bool CandidateSearchCut = false;     // the budget ended the search for candidates
};

// What the diagnosis needs of a search: the reference and where the search looked.
struct TDiagnosisInput {
  std::string RefPath;       // as written after "^@BM"
  std::string ResolvedPath;  // "　" when it could not be resolved
  bool Found = false;
  bool Network = false;
  double Width = 0, Height = 0;  // of the placement
};

struct TDiagnosisPlaces {
  std::string DrawingName;     // the drawing's path, or "(新規)"
  std::string AutoSaveFolder;  // ending in "\"
  std::string TodayTempName;   // today's dated temporary folder, "" when there is none
};

// Each "{}" of a Shift-JIS text in turn by the values; a trail byte is never taken for one.
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> values);

// Names as the file system compares them: ASCII letters without case, every other byte
// exactly, a double-byte character as a whole.
bool SameFileName(std::string_view a, std::string_view b);

// The inputs of a search's listed rows.
std::vector<TDiagnosisInput> DiagnosisInputs(const std::vector<TImageRefRow>& rows,
                                             const std::vector<TSearchStr>& refs);

// Diagnoses every reference; the candidate search shares one budget across them, and is left
// out without candidates.
std::vector<TImageRefDiagnosis> DiagnoseImageRefs(const std::vector<TDiagnosisInput>& refs,
                                                  const TDiagnosisPlaces& places,
                                                  const THostServices& host,
                                                  const TImageHeaderReader& reader,
                                                  const TMonotonicClock& clock,
                                                  bool candidates = true);

// For a shell that reads no picture headers: every file's format is unknown, and nothing is
// said of its header.
class TUnreadHeaders : public TImageHeaderReader {
 public:
  std::optional<TImageHeader> ReadHeader(std::string_view) const override { return TImageHeader{}; }
};

// The copies that put missing pictures back: for each missing row, its one candidate of the
// same name and of the placement's aspect, to where the search looked for it. Rows with more
// such candidates are left alone and named.
struct TRestoreCopy {
  size_t Row = 0;
  std::string From, To;
};
struct TRestorePlan {
  std::vector<TRestoreCopy> Copies;
  std::vector<size_t> Ambiguous;  // rows
};
TRestorePlan PlanRestores(const std::vector<TDiagnosisInput>& refs,
                          const std::vector<TImageRefDiagnosis>& diagnoses);

}  // namespace pikrotta
