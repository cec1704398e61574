// The diagnosis of listed references on a file tree held in memory: the file's facts, the
// findings, the candidates and their order, and the budget of the candidate search.
#include "image_diagnosis.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "window_texts.h"

namespace pikrotta {
namespace {

using test::TFakeHost;

// Pictures of this test's own format, "IMG <width> <height>".
class TTextHeaderReader : public TImageHeaderReader {
 public:
  std::optional<TImageHeader> ReadHeader(std::string_view bytes) const override {
    int w = 0, h = 0;
    if (std::sscanf(std::string(bytes).c_str(), "IMG %d %d", &w, &h) != 2) return std::nullopt;
    return TImageHeader{"IMG", w, h};
  }
};

class TStepClock : public TMonotonicClock {
 public:
  int64_t Microseconds() const override { return Now += Step; }
  mutable int64_t Now = 0;
  int64_t Step = 0;
};

std::vector<std::string> Codes(const TImageRefDiagnosis& d) {
  std::vector<std::string> codes;
  for (const TFinding& f : d.Findings) codes.push_back(f.Code);
  return codes;
}

std::vector<std::string> CandidatePaths(const TImageRefDiagnosis& d) {
  std::vector<std::string> paths;
  for (const TCandidate& c : d.Candidates) paths.push_back(c.File.Path);
  return paths;
}

// The drawing C:\work\plan\plan.jww, its pictures in C:\work\plan\images\, the auto-save
// folder C:\JWW\BAK\ with today's and earlier days' temporary folders.
class ImageDiagnosis : public ::testing::Test {
 protected:
  void File(const std::string& path, const std::string& bytes) {
    Host.Files[path] = bytes;
    const std::string folder = ExtractFilePath(path);
    Host.Entries.push_back({folder, {path.substr(folder.size()), false, 0}});
    Folder(folder.substr(0, folder.size() - 1));
  }
  void Folder(const std::string& path) {
    if (!Host.Folders.insert(path).second) return;
    const std::string parent = ExtractFilePath(path);
    if (parent.size() < 3) return;
    Host.Entries.push_back({parent, {path.substr(parent.size()), true, 0}});
    Folder(parent.substr(0, parent.size() - 1));
  }
  TImageRefDiagnosis Diagnose(TDiagnosisInput ref) {
    if (ref.Width == 0) ref.Width = 30, ref.Height = 20;
    return DiagnoseImageRefs({ref}, Places, Host, Reader, Clock)[0];
  }
  TDiagnosisInput Found(const std::string& path) { return {path, path, true, false, 30, 20}; }
  TDiagnosisInput Missing(const std::string& path) { return {path, path, false, false, 30, 20}; }

  TFakeHost Host;
  TTextHeaderReader Reader;
  TStepClock Clock;
  TDiagnosisPlaces Places{"C:\\work\\plan\\plan.jww", "C:\\JWW\\BAK\\", "20261208-abc"};
};

TEST_F(ImageDiagnosis, FoundFilesAreLookedInto) {
  File("C:\\work\\plan\\images\\ok.bmp", "IMG 300 200");
  File("C:\\work\\plan\\images\\near.bmp", "IMG 303 200");  // within 2 %
  File("C:\\work\\plan\\images\\empty.bmp", "");
  File("C:\\work\\plan\\images\\text.bmp", "hello, I am a text file");
  File("C:\\work\\plan\\images\\wide.bmp", "IMG 400 100");
  const struct {
    const char* name;
    std::vector<std::string> codes;
  } cases[] = {
      {"ok.bmp", {}},
      {"near.bmp", {}},
      {"empty.bmp", {"empty"}},
      {"text.bmp", {"not-an-image"}},
      {"wide.bmp", {"aspect-mismatch"}},
  };
  for (const auto& c : cases) {
    const TImageRefDiagnosis d = Diagnose(Found(std::string("C:\\work\\plan\\images\\") + c.name));
    EXPECT_EQ(Codes(d), c.codes) << c.name;
    ASSERT_TRUE(d.File) << c.name;
    EXPECT_TRUE(d.Candidates.empty()) << c.name;
  }
  const TImageRefDiagnosis ok = Diagnose(Found("C:\\work\\plan\\images\\ok.bmp"));
  EXPECT_EQ(ok.File->Size, 11);
  EXPECT_EQ(ok.File->Header->Width, 300);
  const TImageRefDiagnosis wide = Diagnose(Found("C:\\work\\plan\\images\\wide.bmp"));
  EXPECT_EQ(wide.Findings[0].English,
            "The picture (400x100 px) has another aspect than its placement (30:20): it is "
            "probably not the picture that was placed.");
}

// A header is looked for in the first few kilobytes, and further only for a picture whose
// size has not come yet.
TEST(InspectImageFile, ReadsOnOnlyForASizeStillToCome) {
  // "LATE" files tell their size only after 100,000 bytes.
  class TLateSizeReader : public TImageHeaderReader {
   public:
    std::optional<TImageHeader> ReadHeader(std::string_view bytes) const override {
      Largest = std::max(Largest, bytes.size());
      if (bytes.starts_with("IMG")) return TImageHeader{"IMG", 30, 20};
      if (!bytes.starts_with("LATE")) return std::nullopt;
      return TImageHeader{"LATE", bytes.size() > 100'000 ? 30 : 0, bytes.size() > 100'000 ? 20 : 0};
    }
    mutable size_t Largest = 0;
  };
  test::TFakeHost host;
  host.Files["C:\\a.img"] = "IMG" + std::string(1'000'000, 'x');
  host.Files["C:\\b.late"] = "LATE" + std::string(1'000'000, 'x');
  host.Files["C:\\c.txt"] = std::string(1'000'000, 't');
  const struct {
    const char* path;
    size_t largest;
    int32_t width;
  } cases[] = {{"C:\\a.img", kFirstHeaderBytes, 30},
               {"C:\\c.txt", kFirstHeaderBytes, -1},
               {"C:\\b.late", kImageHeaderBytes, 30}};
  for (const auto& c : cases) {
    const TLateSizeReader reader;
    const TImageFile file = InspectImageFile(host, reader, c.path);
    EXPECT_TRUE(file.Readable) << c.path;
    EXPECT_EQ(reader.Largest, c.largest) << c.path;
    EXPECT_EQ(file.Header ? file.Header->Width : -1, c.width) << c.path;
  }
}

TEST_F(ImageDiagnosis, FindingsOfTheWayAPathIsWritten) {
  const std::string longPath = "C:\\work\\" + std::string(260, 'a') + ".bmp";
  const std::string rootRelative = "C:\\work\\plan\\\\img\\x.bmp";
  const struct {
    TDiagnosisInput ref;
    std::vector<std::string> codes;
  } cases[] = {
      {{"%TEMP%\\a.bmp", "C:\\work\\plan\\%TEMP%\\a.bmp", false, false}, {"temp-case"}},
      {{"%Temp%\\a.bmp", "C:\\work\\plan\\%Temp%\\a.bmp", false, false}, {"temp-case"}},
      {{"\\img\\x.bmp", rootRelative, false, false}, {"root-relative"}},
      {{"\\\\srv\\s\\n.bmp", "\\\\srv\\s\\n.bmp", false, true}, {"network"}},
      {{longPath, longPath, false, false}, {"long-path"}},
      {{"images\\a.bmp", "C:\\work\\plan\\images\\a.bmp", false, false}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Codes(Diagnose(c.ref)), c.codes) << c.ref.RefPath;
  const TImageRefDiagnosis d = Diagnose({"\\img\\x.bmp", rootRelative, false, false});
  EXPECT_EQ(d.Findings[0].English,
            "The path begins with a single backslash: Windows reads it from the drive's root "
            "(C:\\img\\x.bmp), the search from the drawing's folder (" +
                rootRelative + ").");
  // A network path is never walked for candidates.
  EXPECT_TRUE(Diagnose({"\\\\srv\\s\\n.bmp", "\\\\srv\\s\\n.bmp", false, true}).Candidates.empty());
}

TEST_F(ImageDiagnosis, ATempPictureOfAnEarlierDayIsNamedByItsDate) {
  Folder("C:\\JWW\\BAK\\20261208-abc");
  File("C:\\JWW\\BAK\\20261201-x\\gone.bmp", "IMG 30 20");
  File("C:\\JWW\\BAK\\20261203-y\\gone.bmp", "IMG 30 20");
  const TImageRefDiagnosis d =
      Diagnose({"%temp%\\gone.bmp", "C:\\JWW\\BAK\\20261208-abc\\\\gone.bmp", false, false});
  ASSERT_EQ(Codes(d), (std::vector<std::string>{"temp-earlier-day"}));
  EXPECT_EQ(d.Findings[0].English,
            "Unpacked on 2026-12-03; reopen the drawing in Jw_cad to unpack it again.");
  // "2026-12-03 の一時フォルダーにあります。Jw_cad で図面を開き直すと展開し直されます。")
  EXPECT_EQ(d.Findings[0].Japanese,
            "\x32\x30\x32\x36\x2d\x31\x32\x2d\x30\x33 "
            "\x82\xcc\x88\xea\x8e\x9e\x83\x74\x83\x48\x83\x8b\x83\x5f\x81\x5b\x82\xc9\x82\xa0\x82"
            "\xe8\x82\xdc\x82\xb7\x81\x42\x4a\x77\x5f\x63\x61\x64 "
            "\x82\xc5\x90}"
            "\x96\xca\x82\xf0\x8a\x4a\x82\xab\x92\xbc\x82\xb7\x82\xc6\x93\x57\x8a\x4a\x82\xb5\x92"
            "\xbc\x82\xb3\x82\xea\x82\xdc\x82\xb7\x81\x42");
  // The newest earlier copy comes first among the candidates too.
  EXPECT_EQ(CandidatePaths(d), (std::vector<std::string>{"C:\\JWW\\BAK\\20261203-y\\gone.bmp",
                                                         "C:\\JWW\\BAK\\20261201-x\\gone.bmp"}));
}

// Where a missing picture went: a sibling of its folder, the drawing's tree, the drawing's
// parents, the temporary folders, and a renamed file beside the expected place; those of the
// placement's aspect first.
TEST_F(ImageDiagnosis, CandidatesComeBestFirst) {
  Folder("C:\\work\\plan\\images");
  File("C:\\work\\plan\\images\\moved.jpg.bak", "x");
  File("C:\\work\\plan\\images\\moved.png", "IMG 30 20");              // renamed
  File("C:\\work\\plan\\photos\\MOVED.JPG", "IMG 300 300");            // another aspect
  File("C:\\work\\plan\\photos\\2026\\a\\b\\moved.jpg", "IMG 30 20");  // too deep
  File("C:\\work\\plan\\photos\\2026\\moved.jpg", "IMG 60 40");
  File("C:\\work\\old\\moved.jpg", "IMG 30 20");
  File("C:\\work\\old\\x\\y\\moved.jpg", "IMG 30 20");  // below a parent, too deep
  File("C:\\JWW\\BAK\\20261203-y\\moved.jpg", "");
  File("\\\\srv\\s\\moved.jpg", "IMG 30 20");
  const TImageRefDiagnosis d = Diagnose(Missing("C:\\work\\plan\\images\\moved.jpg"));
  EXPECT_EQ(CandidatePaths(d), (std::vector<std::string>{
                                   "C:\\work\\plan\\photos\\2026\\moved.jpg",
                                   "C:\\work\\old\\moved.jpg",
                                   "C:\\work\\plan\\images\\moved.png",
                                   "C:\\work\\plan\\photos\\MOVED.JPG",
                                   "C:\\JWW\\BAK\\20261203-y\\moved.jpg",
                               }));
  EXPECT_TRUE(d.Candidates[0].AspectMatches);
  EXPECT_FALSE(d.Candidates[3].AspectMatches);
  EXPECT_EQ(d.Candidates[0].File.Size, 9);
  EXPECT_FALSE(d.CandidateSearchCut);
}

TEST_F(ImageDiagnosis, TheCandidateSearchStopsAtItsBudget) {
  for (int i = 0; i < kCandidateEntryBudget + 10; ++i) {
    std::string name = std::to_string(i);
    name += ".bmp";
    Host.Entries.push_back({"C:\\work\\plan\\", {name, false, 0}});
  }
  Host.Entries.push_back({"C:\\work\\plan\\", {"deeper", true, 0}});
  File("C:\\work\\plan\\deeper\\lost.bmp", "IMG 30 20");
  const TImageRefDiagnosis d = Diagnose(Missing("C:\\work\\plan\\lost.bmp"));
  EXPECT_TRUE(d.CandidateSearchCut);
  EXPECT_TRUE(d.Candidates.empty());
  // And by time: a clock that runs 0.5 s at each look lets four looks through.
  Host.Entries.clear();
  File("C:\\work\\plan\\a\\lost.bmp", "IMG 30 20");
  Clock.Step = kCandidateTimeBudgetMicroseconds / 4;
  const TImageRefDiagnosis late = Diagnose(Missing("C:\\work\\plan\\images\\lost.bmp"));
  EXPECT_TRUE(late.CandidateSearchCut);
}

// A missing picture is put back only from its one candidate of the same name and aspect.
TEST_F(ImageDiagnosis, RestoresTakeTheOneCandidateOfTheSameNameAndAspect) {
  File("C:\\work\\plan\\photos\\one.jpg", "IMG 30 20");
  File("C:\\work\\plan\\photos\\two.jpg", "IMG 30 20");
  File("C:\\work\\old\\two.jpg", "IMG 60 40");
  File("C:\\work\\plan\\photos\\wide.jpg", "IMG 90 20");
  File("C:\\work\\plan\\images\\renamed.png", "IMG 30 20");
  const std::vector<TDiagnosisInput> refs = {
      Missing("C:\\work\\plan\\images\\one.jpg"), Missing("C:\\work\\plan\\images\\two.jpg"),
      Missing("C:\\work\\plan\\images\\wide.jpg"), Missing("C:\\work\\plan\\images\\renamed.jpg"),
      Found("C:\\work\\plan\\photos\\one.jpg")};
  const TRestorePlan plan =
      PlanRestores(refs, DiagnoseImageRefs(refs, Places, Host, Reader, Clock));
  ASSERT_EQ(plan.Copies.size(), 1u);
  EXPECT_EQ(plan.Copies[0].Row, 0u);
  EXPECT_EQ(plan.Copies[0].From, "C:\\work\\plan\\photos\\one.jpg");
  EXPECT_EQ(plan.Copies[0].To, "C:\\work\\plan\\images\\one.jpg");
  EXPECT_EQ(plan.Ambiguous, (std::vector<size_t>{1}));
}

TEST(SameFileName, AsTheFileSystemCompares) {
  const struct {
    const char *a, *b;
    bool same;
  } cases[] = {
      {"Plan.JPG", "plan.jpg", true},
      {"plan.jpg", "plan.jpeg", false},
      {"\x95\x5c.bmp", "\x95\x5c.BMP", true},   // 表: its trail byte is a backslash
      {"\x82\x60.bmp", "\x82\x81.bmp", false},  // Ａ and ａ are other characters here
      {"\x83\x5c", "\x83\x7c", false},          // ソ: a trail byte 0x5C is no letter to fold
      {"\x83\x61", "\x83\x41", false},  // ダ and ア differ by a trail byte that looks like a/A
      {"a\x83", "A\x83", true},         // a lone lead byte at the end
  };
  for (const auto& c : cases) EXPECT_EQ(SameFileName(c.a, c.b), c.same) << c.a << " " << c.b;
}

TEST(DiagnosisInputs, TakeThePlacementAndTheNetworkMark) {
  const std::vector<TSearchStr> refs = {{0, 0, 0, 0, "^@BMa.bmp,30,20"},
                                        {0, 1, 0, 0, "^@BM\\\\s\\x.bmp,40"}};
  const std::vector<TImageRefRow> rows = {
      {"a.bmp", "C:\\a.bmp", std::string(texts::kMarkFound), true, 0},
      {"\\\\s\\x.bmp", "\\\\s\\x.bmp", std::string(texts::kMarkMissing) + texts::kMarkNetwork,
       false, 1}};
  const std::vector<TDiagnosisInput> inputs = DiagnosisInputs(rows, refs);
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_FALSE(inputs[0].Network);
  EXPECT_EQ(inputs[0].Height, 20);
  EXPECT_TRUE(inputs[1].Network);
  EXPECT_EQ(inputs[1].Height, 40);  // one number: a square
}

}  // namespace
}  // namespace pikrotta
