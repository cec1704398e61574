#include <gtest/gtest.h>

#include <future>

#include "fake_host.h"
#include "network_paths.h"
#include "transfer_test_util.h"

namespace pikrotta {
namespace {

using test::TFakeControls;
using test::TFakeHost;

// A window whose drawing is given as transfer text, Jw_cad at C:\JWW with its auto-save
// folder C:\JWW\BAK\, and today 8 December 2026.
class ImageSearch : public ::testing::Test {
 protected:
  void Open(std::string_view transferText, bool saved = true) {
    Form.FormCreate();
    Form.JwwGaibu = test::ReadTransferText(transferText);
    Controls.SetCaption(TLabel::Label2, saved ? "C:\\work\\plan\\a.jww" : texts::kNewDrawing);
    Controls.SetCaption(TLabel::Label3, "C:\\JWW\\Jw_win.exe");
    Form.View.FitToWindow(Form.JwwGaibu, 400, 300);
    Form.ViewReady = true;
  }
  void JwcadWithAutoSave() {
    Host.Files["C:\\JWW\\jw_win.jwf"] = "AUTOSAVEDIR=C:\\JWW\\BAK\r\n";
    Host.Folders.insert("C:\\JWW\\BAK");
  }
  void TempFolder(std::string name, int32_t dosTime, bool folder = true) {
    Host.Entries.push_back({"C:\\JWW\\BAK\\", {std::move(name), folder, dosTime}});
  }

  TFakeHost Host;
  TFakeControls Controls;
  TForm1 Form{Controls, Host};
};

std::string Ref(std::string_view path) {
  return "ch 0 0 10 0 ^@BM" + std::string(path) + ",10,10\n";
}

// A window of hosts and controls of a test's own kinds, set up as the fixture sets up its own:
// Jw_cad at C:\JWW with its auto-save folder, the drawing saved as C:\work\a.jww.
void OpenSaved(TForm1& form, TFakeHost& host, TWindowControls& controls, std::string_view text) {
  host.Files["C:\\JWW\\jw_win.jwf"] = "AUTOSAVEDIR=C:\\JWW\\BAK\r\n";
  host.Folders.insert("C:\\JWW\\BAK");
  form.FormCreate();
  form.JwwGaibu = test::ReadTransferText(text);
  controls.SetCaption(TLabel::Label2, "C:\\work\\a.jww");
  controls.SetCaption(TLabel::Label3, "C:\\JWW\\Jw_win.exe");
  form.View.FitToWindow(form.JwwGaibu, 400, 300);
  form.ViewReady = true;
}

TEST_F(ImageSearch, ResolvesEveryKindOfPathAndMarksIt) {
  JwcadWithAutoSave();
  TempFolder("20261208-1", 100);
  Host.Files["C:\\IMG\\a.jpg"] = "";
  Host.Files["C:\\JWW\\BAK\\20261208-1\\\\t.jpg"] = "";
  Host.Files["C:\\work\\plan\\img\\r.bmp"] = "";
  Open(Ref("C:\\IMG\\a.jpg") + Ref("C:\\IMG\\missing.jpg") + Ref("%temp%\\t.jpg") +
       Ref("%TEMP%\\t.jpg") + Ref("img\\r.bmp") + Ref("\\\\server\\share\\n.bmp") + Ref("") +
       "ch 0 0 10 0 ^@BMnocomma.bmp\n");
  Form.Button2Click();
  EXPECT_EQ(Controls.Caption(TLabel::Label4), "C:\\JWW\\BAK\\");
  EXPECT_EQ(Controls.Caption(TLabel::Label5), "20261208-1");
  EXPECT_EQ(Host.Beeps, 0);
  const std::vector<std::string> expected = {
      std::string(texts::kListHeader) + "8",
      std::string("C:\\IMG\\a.jpg") + texts::kMarkFound,
      std::string("C:\\IMG\\missing.jpg") + texts::kMarkMissing,
      std::string("%temp%\\t.jpg") + texts::kMarkFound,    // found in today's temporary folder
      std::string("%TEMP%\\t.jpg") + texts::kMarkMissing,  // upper case: a relative path
      std::string("img\\r.bmp") + texts::kMarkFound,
      std::string("\\\\server\\share\\n.bmp") + texts::kMarkMissing + texts::kMarkNetwork,
      std::string(texts::kFullWidthBlank) + texts::kMarkUnresolvable,
      std::string("nocomma.bmp") + texts::kMarkMissing,
  };
  EXPECT_EQ(Controls.Rows, expected);
  EXPECT_EQ(Form.ImageRefRows[2].ResolvedPath, "C:\\JWW\\BAK\\20261208-1\\\\t.jpg");
  EXPECT_EQ(Form.ImageRefRows[3].ResolvedPath, "C:\\work\\plan\\%TEMP%\\t.jpg");
}

// A path written in full with "\\?\" or "\\.\" is a local one; "\\?\UNC\" is a share.
TEST_F(ImageSearch, LongPrefixesAreLocalUnlessTheyNameAShare) {
  JwcadWithAutoSave();
  Host.Files["\\\\?\\C:\\IMG\\a.jpg"] = "";
  Host.Files["\\\\.\\C:\\IMG\\a.jpg"] = "";
  Open(Ref("\\\\?\\C:\\IMG\\a.jpg") + Ref("\\\\.\\C:\\IMG\\a.jpg") +
       Ref("\\\\?\\UNC\\srv\\s\\n.bmp"));
  Form.Button2Click();
  const std::vector<std::string> expected = {
      std::string(texts::kListHeader) + "3",
      std::string("\\\\?\\C:\\IMG\\a.jpg") + texts::kMarkFound,
      std::string("\\\\.\\C:\\IMG\\a.jpg") + texts::kMarkFound,
      std::string("\\\\?\\UNC\\srv\\s\\n.bmp") + texts::kMarkMissing + texts::kMarkNetwork,
  };
  EXPECT_EQ(Controls.Rows, expected);
  EXPECT_EQ(Form.ImageRefRows[0].ResolvedPath, "\\\\?\\C:\\IMG\\a.jpg");
}

TEST_F(ImageSearch, RelativePathsOfANeverSavedDrawingAreUnresolvable) {
  JwcadWithAutoSave();
  Open(Ref("img\\r.bmp") + Ref("C:\\IMG\\a.jpg"), false);
  Form.Button2Click();
  ASSERT_EQ(Controls.Rows.size(), 3u);
  EXPECT_EQ(Controls.Rows[1], std::string("img\\r.bmp") + texts::kMarkUnresolvable);
  EXPECT_EQ(Controls.Rows[2], std::string("C:\\IMG\\a.jpg") + texts::kMarkMissing);
}

TEST_F(ImageSearch, MissingAutoSaveFolderBeepsTellsAndStillLists) {
  Host.Files["C:\\JWW\\jw_win.jwf"] = "AUTOSAVEDIR=C:\\JWW\\GONE\r\n";
  Open(Ref("%temp%\\t.jpg"));
  Form.Button2Click();
  EXPECT_EQ(Host.Beeps, 1);
  EXPECT_EQ(Host.Messages, (std::vector<std::string>{texts::kMissingAutoSaveFolder}));
  ASSERT_EQ(Controls.Rows.size(), 2u);
  // No temporary folder: the auto-save folder, the backslash after the (empty) folder name,
  // and the reference's own backslash.
  EXPECT_EQ(Form.ImageRefRows[0].ResolvedPath, "C:\\JWW\\GONE\\\\\\t.jpg");
  EXPECT_EQ(Controls.Rows[1], std::string("%temp%\\t.jpg") + texts::kMarkMissing);
}

// "\\\\" marks a network path only on character boundaries: in 表\ the trail byte 0x5C of
// 表 and the backslash after it are no double backslash.
TEST_F(ImageSearch, TrailByteBeforeABackslashIsNoNetworkPath) {
  JwcadWithAutoSave();
  Host.Files["C:\\\x95\x5c\\a.bmp"] = "";
  Open(Ref("C:\\\x95\x5c\\a.bmp"));
  Form.Button2Click();
  ASSERT_EQ(Controls.Rows.size(), 2u);
  EXPECT_EQ(Controls.Rows[1], std::string("C:\\\x95\x5c\\a.bmp") + texts::kMarkFound);
}

TEST_F(ImageSearch, NewestTemporaryFolderOfToday) {
  JwcadWithAutoSave();
  TempFolder("20261207-9", 900);                // yesterday
  TempFolder("20261208-file.txt", 800, false);  // not a folder
  TempFolder("20261208-a", 300);
  TempFolder("20261208-b", 300);  // equal stamp: the first listed stays
  TempFolder("20261208x", 999);   // no hyphen after the date
  EXPECT_EQ(Form.FindNewestTempFolder("C:\\JWW\\BAK\\"), "20261208-a");
  TempFolder("20261208-c", 301);
  EXPECT_EQ(Form.FindNewestTempFolder("C:\\JWW\\BAK\\"), "20261208-c");
  EXPECT_EQ(Form.FindNewestTempFolder("C:\\OTHER\\"), "");
}

// Stamps compare signed, so those of 2044 on are negative; the first folder is taken whatever
// its stamp, and a later one only when its stamp is strictly greater.
TEST_F(ImageSearch, NegativeStampsStillChooseAFolder) {
  Host.Entries.push_back({"C:\\OTHER\\", {"20261208-neg", true, -5}});
  Host.Entries.push_back({"C:\\OTHER\\", {"20261208-lower", true, -9}});
  EXPECT_EQ(Form.FindNewestTempFolder("C:\\OTHER\\"), "20261208-neg");
  Host.Entries.push_back({"C:\\OTHER\\", {"20261208-higher", true, -1}});
  EXPECT_EQ(Form.FindNewestTempFolder("C:\\OTHER\\"), "20261208-higher");
}

TEST_F(ImageSearch, FramedTextReferencesAreCollectedButNotListed) {
  JwcadWithAutoSave();
  Open("msg\n0 0 1 1\ncs 5 6 10 0 ^@BMframed.bmp,1\n" + Ref("a.bmp"));
  Form.Button2Click();
  ASSERT_EQ(Form.ImageRefs.size(), 2u);
  EXPECT_EQ(Form.ImageRefs[0].SourceKind, 0);
  EXPECT_EQ(Form.ImageRefs[1].SourceKind, 1);
  EXPECT_EQ(Form.ImageRefs[1].X, 5);
  EXPECT_EQ(Controls.Rows.size(), 2u);
  EXPECT_EQ(Controls.Rows[0], std::string(texts::kListHeader) + "1");
}

TEST_F(ImageSearch, NoReferencesGiveOnlyTheHeader) {
  JwcadWithAutoSave();
  Open("0 0 1 1\n");
  Form.Button2Click();
  EXPECT_EQ(Controls.Rows, (std::vector<std::string>{std::string(texts::kListHeader) + "0"}));
}

// A host that counts the questions of each path, and controls that count how the list is set.
class TCountingHost : public TFakeHost {
 public:
  bool FileExists(const std::string& path) const override {
    ++Asked[path];
    return TFakeHost::FileExists(path);
  }
  std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) const override {
    LocalBatches.emplace_back(paths.begin(), paths.end());
    return TFakeHost::FilesExist(paths);
  }
  mutable std::map<std::string, int32_t> Asked;
  mutable std::vector<std::vector<std::string>> LocalBatches;
};

class TCountingControls : public TFakeControls {
 public:
  void SetListRows(std::vector<std::string> rows) override {
    ++ListsSet;
    TFakeControls::SetListRows(std::move(rows));
  }
  void AddListRow(const std::string& text) override {
    if (ListsSet == 0) ++RowsOutsideASet;
    TFakeControls::AddListRow(text);
  }
  int32_t ListsSet = 0, RowsOutsideASet = 0;
};

TEST(ImageSearchCounts, EachPathIsAskedOncePerSearchAndTheListIsSetInOneGo) {
  TCountingHost host;
  TCountingControls controls;
  TForm1 form{controls, host};
  host.Files["C:\\IMG\\logo.bmp"] = "";
  OpenSaved(form, host, controls,
            Ref("C:\\IMG\\logo.bmp") + Ref("\\\\srv\\s\\n.bmp") + Ref("C:\\IMG\\logo.bmp") +
                Ref("\\\\srv\\s\\n.bmp") + Ref("C:\\IMG\\LOGO.bmp"));
  form.Button2Click();
  EXPECT_EQ(host.Asked, (std::map<std::string, int32_t>{{"C:\\IMG\\LOGO.bmp", 1},
                                                        {"C:\\IMG\\logo.bmp", 1},
                                                        {"C:\\JWW\\jw_win.jwf", 1},
                                                        {"\\\\srv\\s\\n.bmp", 1}}));
  // The local paths go to the host together, each once, so it may answer a folder's paths
  // from one listing; the network path is asked apart, within its bound.
  EXPECT_EQ(host.LocalBatches,
            (std::vector<std::vector<std::string>>{{"C:\\IMG\\logo.bmp", "C:\\IMG\\LOGO.bmp"}}));
  const std::string found = std::string("C:\\IMG\\logo.bmp") + texts::kMarkFound;
  ASSERT_EQ(controls.Rows.size(), 6u);
  EXPECT_EQ(controls.Rows[1], found);
  EXPECT_EQ(controls.Rows[3], found);  // the repeat keeps the answer
  EXPECT_EQ(controls.ListsSet, 1);
  EXPECT_EQ(controls.RowsOutsideASet, 0);

  // A picture put back between two searches is found by the second.
  host.Files["\\\\srv\\s\\n.bmp"] = "";
  form.Button2Click();
  EXPECT_EQ(host.Asked["\\\\srv\\s\\n.bmp"], 2);
  EXPECT_EQ(controls.Rows[2],
            std::string("\\\\srv\\s\\n.bmp") + texts::kMarkFound + texts::kMarkNetwork);
}

// A host that answers fewer paths than it was asked: those left over count as not found.
class TShortAnsweringHost : public TFakeHost {
 public:
  std::vector<bool> FilesExist(const std::vector<std::string_view>& paths) const override {
    std::vector<bool> answers = TFakeHost::FilesExist(paths);
    answers.resize(std::min<size_t>(answers.size(), 1));
    return answers;
  }
};

TEST(ImageSearchCounts, APathLeftWithoutAnAnswerIsNotFoundAndItsRepeatsFollowIt) {
  TShortAnsweringHost host;
  TFakeControls controls;
  TForm1 form{controls, host};
  host.Files["C:\\IMG\\a.bmp"] = "";
  host.Files["C:\\IMG\\b.bmp"] = "";
  OpenSaved(form, host, controls,
            Ref("C:\\IMG\\a.bmp") + Ref("C:\\IMG\\b.bmp") + Ref("C:\\IMG\\a.bmp") +
                Ref("C:\\IMG\\b.bmp"));
  form.Button2Click();
  ASSERT_EQ(controls.Rows.size(), 5u);
  EXPECT_EQ(controls.Rows[1], std::string("C:\\IMG\\a.bmp") + texts::kMarkFound);
  EXPECT_EQ(controls.Rows[2], std::string("C:\\IMG\\b.bmp") + texts::kMarkMissing);
  EXPECT_EQ(controls.Rows[3], controls.Rows[1]);
  EXPECT_EQ(controls.Rows[4], controls.Rows[2]);
}

TEST_F(ImageSearch, SearchMarksEveryReferenceInTheView) {
  JwcadWithAutoSave();
  Open(Ref("a.bmp") + Ref("b.bmp"));
  Form.Button2Click();
  size_t redChords = 0;
  for (const auto& c : Controls.Canvas.Calls)
    if (c.Kind == TCallKind::LineTo && c.Pen.Color == 0x0000FF && c.Pen.Width == 3) ++redChords;
  EXPECT_EQ(redChords, 144u);
}

// A canvas that keeps nothing (the command line's search) gets no red circles and no drawing:
// nobody sees them, and for a million references they were most of the search's time. The
// list and its count are the same.
class TKeepNothingCanvas : public TRecordingCanvas {
 public:
  bool KeepsPixels() const override { return false; }
};

struct TSearchOnCanvas {
  std::vector<std::string> Rows;
  size_t RedChords = 0, Texts = 0;
};

// A search of two references among a line and a plain text on controls of a given kind.
template <class TCanvasKind>
TSearchOnCanvas SearchTwoReferences() {
  TFakeHost host;
  TMemoryControls<TCanvasKind> controls;
  TForm1 form{controls, host};
  OpenSaved(form, host, controls, Ref("a.bmp") + "0 0 100 100\nch 5 5 10 0 plain\n" + Ref("b.bmp"));
  form.Button2Click();
  TSearchOnCanvas search{controls.Rows};
  for (const auto& c : controls.Canvas.Calls) {
    search.RedChords += c.Kind == TCallKind::LineTo && c.Pen.Color == 0x0000FF && c.Pen.Width == 3;
    search.Texts += c.Kind == TCallKind::TextOut;
  }
  return search;
}

TEST(ImageSearchWithoutPixels, NothingIsDrawnOntoACanvasThatKeepsNothing) {
  const TSearchOnCanvas blind = SearchTwoReferences<TKeepNothingCanvas>();
  const TSearchOnCanvas seen = SearchTwoReferences<TRecordingCanvas>();
  EXPECT_EQ(blind.RedChords, 0u);
  EXPECT_EQ(blind.Texts, 0u);
  EXPECT_EQ(seen.RedChords, 144u);
  EXPECT_GE(seen.Texts, 3u);
  EXPECT_EQ(blind.Rows, seen.Rows);
  const std::vector<std::string>& rows = seen.Rows;
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), std::string(texts::kListHeader) + "2");
}

// Controls on a monitor of another scale than the design's 96 dpi.
class TScaledControls : public TFakeControls {
 public:
  double DpiScale() const override { return Scale; }
  double Scale = 1;
};

TEST(ImageSearchScale, TheRedCirclesKeepTheirSizeOnAHighDpiMonitor) {
  const struct {
    double scale;
    int32_t pen;
    int32_t diameter;  // pixels across a circle's chords
  } cases[] = {{1, 3, 20}, {1.5, 5, 30}, {2, 6, 40}};
  for (const auto& c : cases) {
    TFakeHost host;
    TScaledControls controls;
    controls.Scale = c.scale;
    TForm1 form{controls, host};
    OpenSaved(form, host, controls, Ref("a.bmp"));
    form.Button2Click();
    int32_t left = INT32_MAX, right = INT32_MIN, chords = 0;
    for (const auto& call : controls.Canvas.Calls) {
      // Red, but not the origin's cross of two-pixel lines.
      if (call.Kind != TCallKind::LineTo || call.Pen.Color != 0x0000FF || call.Pen.Width == 2)
        continue;
      EXPECT_EQ(call.Pen.Width, c.pen) << c.scale;
      left = std::min(left, call.Args[0]);
      right = std::max(right, call.Args[0]);
      ++chords;
    }
    EXPECT_GT(chords, 0) << c.scale;
    EXPECT_NEAR(right - left, c.diameter, 1) << c.scale;
  }
}

TEST_F(ImageSearch, DoubleClickCentresTheViewOnTheReference) {
  JwcadWithAutoSave();
  Open("ch 40 30 10 0 ^@BMa.bmp,1\nch -20 10 10 0 ^@BMb.bmp,1\n");
  Form.Button2Click();
  const TView before = Form.View;
  Controls.Selection = 0;  // the header
  Form.ListBox1DblClick();
  EXPECT_EQ(Form.View.ViewLeft, before.ViewLeft);
  Controls.Selection = 2;
  Form.ListBox1DblClick();
  EXPECT_NEAR((Form.View.ViewLeft + Form.View.ViewRight) / 2, -20, 1e-9);
  EXPECT_NEAR((Form.View.ViewBottom + Form.View.ViewTop) / 2, 10, 1e-9);
  EXPECT_EQ(Form.View.ViewScale, before.ViewScale);
  Controls.Rows.resize(1);  // only the header left
  Controls.Selection = 1;
  const TView now = Form.View;
  Form.ListBox1DblClick();
  EXPECT_EQ(Form.View.ViewLeft, now.ViewLeft);
}

// A host whose file system blocks on every question about one server, as Windows does for an
// unreachable share until the SMB time-out, and asks network paths as the Windows host does.
class TSilentServerHost : public TFakeHost {
 public:
  bool FileExists(const std::string& path) const override {
    if (NetworkServerOf(path) == Silent) Opened.wait_for(std::chrono::seconds(2));
    return TFakeHost::FileExists(path);
  }
  std::vector<TExistence> NetworkFilesExist(const std::vector<std::string>& paths) const override {
    // The test runs on workers that may outlive the search: it keeps its own copies.
    const std::shared_ptr<std::promise<void>> gate = Gate;
    const std::shared_future<void> opened = Opened;
    const std::map<std::string, std::string> files = Files;
    const std::string silent = Silent;
    return TestPathsWithin(
        paths,
        [files, silent, opened](const std::string& path) {
          if (NetworkServerOf(path) == silent) opened.wait();
          return files.count(path) > 0;
        },
        std::chrono::seconds(1));
  }
  std::string Silent = "\\\\silent";
  std::shared_ptr<std::promise<void>> Gate = std::make_shared<std::promise<void>>();
  std::shared_future<void> Opened = Gate->get_future().share();
};

TEST(ImageSearchNetwork, AServerThatDoesNotAnswerCountsAsNotFoundAndIsNamed) {
  TSilentServerHost host;
  TFakeControls controls;
  TForm1 form{controls, host};
  host.Files["\\\\silent\\s\\a.bmp"] = "";
  host.Files["\\\\up\\s\\b.bmp"] = "";
  host.Files["C:\\IMG\\c.bmp"] = "";
  OpenSaved(form, host, controls,
            Ref("\\\\silent\\s\\a.bmp") + Ref("C:\\IMG\\c.bmp") + Ref("\\\\up\\s\\b.bmp") +
                Ref("\\\\silent\\t\\d.bmp"));
  form.Button2Click();
  const std::vector<std::string> expected = {
      std::string(texts::kListHeader) + "4",
      std::string("\\\\silent\\s\\a.bmp") + texts::kMarkMissing + texts::kMarkNetwork,
      std::string("C:\\IMG\\c.bmp") + texts::kMarkFound,
      std::string("\\\\up\\s\\b.bmp") + texts::kMarkFound + texts::kMarkNetwork,
      std::string("\\\\silent\\t\\d.bmp") + texts::kMarkMissing + texts::kMarkNetwork,
  };
  EXPECT_EQ(controls.Rows, expected);
  EXPECT_EQ(controls.Caption(TLabel::LabelA1),
            "3" + std::string(texts::kNoAnswerFromServers) + "\\\\silent");

  // Once the server answers, a new search finds its file and the status line is cleared.
  host.Gate->set_value();
  host.Silent.clear();
  form.Button2Click();
  EXPECT_EQ(controls.Rows[1],
            std::string("\\\\silent\\s\\a.bmp") + texts::kMarkFound + texts::kMarkNetwork);
  EXPECT_EQ(controls.Caption(TLabel::LabelA1), "");
}

// A selected row says in the status label what the diagnosis finds; the header row sums the
// list up; a missing row's menu copies a candidate into place, never over a file.
TEST_F(ImageSearch, ASelectedRowSaysWhatIsWrongAndWhereItsFileMayBe) {
  JwcadWithAutoSave();
  Host.Files["C:\\work\\plan\\img\\ok.bmp"] = "picture";
  Host.Files["C:\\work\\plan\\img\\empty.bmp"] = "";
  Host.Entries.push_back({"C:\\work\\plan\\", {"img", true, 0}});
  Host.Entries.push_back({"C:\\work\\plan\\", {"old", true, 0}});
  Host.Entries.push_back({"C:\\work\\plan\\old\\", {"lost.bmp", false, 0}});
  Host.Entries.push_back({"C:\\work\\", {"lost.bmp", false, 0}});
  Host.Files["C:\\work\\plan\\old\\lost.bmp"] = "the lost picture";
  Host.Files["C:\\work\\lost.bmp"] = "another";
  const std::string longName = std::string(120, 'n') + ".bmp";
  Open(Ref("img\\ok.bmp") + Ref("img\\empty.bmp") + Ref("img\\lost.bmp") + Ref("") +
       Ref("\\\\srv\\s\\x.bmp") + Ref("C:\\far\\" + longName));
  Form.Button2Click();
  const struct {
    int32_t row;
    std::string status;
  } cases[] = {
      {1, "C:\\work\\plan\\img\\ok.bmp"},
      {2,
       "C:\\work\\plan\\img\\empty.bmp"
       "\x81\x40\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xaa"
       "\x81\x41\x8b\xf3\x82\xc5\x82\xb7\x81\x69\x30 \x83\x6f\x83\x43\x83\x67\x81\x6a\x81\x42"},
      {3,
       "\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\x8c\xf3\x95\xe2\x81\x46"
       "C:\\work\\plan\\old\\lost.bmp"
       " \x82\xd9\x82\xa9 \x31 \x8c\x8f"},
      {4,
       "\x83\x70\x83\x58\x82\xf0\x89\xf0\x8c\x88\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42"},
      {5,
       "\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x46"
       "\\\\srv\\s\\x.bmp"
       "\x81\x40\x83\x6c\x83\x62\x83\x67\x83\x8f\x81\x5b\x83\x4e\x8f\xe3\x82\xcc\x83\x70\x83\x58"
       "\x82\xc5\x82\xb7\x81\x42\x89\xe6\x91\x9c\x93\xaf\x8d\xab\x82\xc5\x90}"
       "\x96\xca\x82\xc9\x93\xfc\x82\xea\x82\xe9\x82\xb1\x82\xc6\x82\xcd\x82\xc5\x82\xab\x82\xdc"
       "\x82\xb9\x82\xf1\x81\x42"},
      {0,
       "\x81\x9b \x32\x81\x40\x81\x7e \x33\x81\x40\x81\x48 \x31\x81\x40\x81\xa6 "
       "\x31\x81\x40\x97\x76\x8a\x6d\x94\x46 \x32"},
  };
  for (const auto& c : cases) {
    Controls.Selection = c.row;
    Form.ListBox1Click();
    EXPECT_EQ(Controls.Caption(TLabel::LabelA1), c.status) << c.row;
  }
  // A long line loses its middle, and its end, the file's name, stays.
  Controls.Selection = 6;
  Form.ListBox1Click();
  const std::string shortened = Controls.Caption(TLabel::LabelA1);
  EXPECT_EQ(LengthMB(shortened), 90);
  EXPECT_TRUE(shortened.ends_with("nnnn.bmp"));
  EXPECT_TRUE(
      shortened.starts_with("\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x46"
                            "C:\\far\\"));
  EXPECT_NE(shortened.find("\x81\x63"), std::string::npos);

  // The missing row's menu: a copy item per candidate, then the folder.
  EXPECT_TRUE(Form.ListBox1MenuItems(1).empty());  // found
  EXPECT_TRUE(Form.ListBox1MenuItems(5).empty());  // network
  const std::vector<std::string> items = Form.ListBox1MenuItems(3);
  ASSERT_EQ(
      items,
      (std::vector<std::string>{
          "\x82\xb1\x82\xb1\x82\xd6\x83\x52\x83\x73\x81\x5b\x81\x46"
          "C:\\work\\plan\\old\\lost.bmp",
          "\x82\xb1\x82\xb1\x82\xd6\x83\x52\x83\x73\x81\x5b\x81\x46"
          "C:\\work\\lost.bmp",
          "\x8c\xf3\x95\xe2\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xad"}));
  Form.ListBox1MenuChoice(3, 2);
  EXPECT_EQ(Host.Shown, (std::vector<std::string>{"C:\\work\\plan\\old\\lost.bmp"}));
  Form.ListBox1MenuChoice(3, 0);
  EXPECT_EQ(Host.Files["C:\\work\\plan\\img\\lost.bmp"], "the lost picture");
  EXPECT_EQ(Controls.Rows[3], std::string("img\\lost.bmp") + texts::kMarkFound);
  EXPECT_EQ(Controls.Caption(TLabel::LabelA1), "C:\\work\\plan\\img\\lost.bmp");
  EXPECT_TRUE(Host.Messages.empty());
  // The new search's diagnosis, not the old one's: the row's file is there now.
  ASSERT_TRUE(Form.RowDiagnosis(3).File);
  EXPECT_EQ(Form.RowDiagnosis(3).File->Size, 16);
}

TEST_F(ImageSearch, ACopyOntoAFileThatIsThereIsRefused) {
  JwcadWithAutoSave();
  Host.Entries.push_back({"C:\\work\\plan\\", {"old", true, 0}});
  Host.Entries.push_back({"C:\\work\\plan\\old\\", {"lost.bmp", false, 0}});
  Host.Files["C:\\work\\plan\\old\\lost.bmp"] = "the lost picture";
  Open(Ref("img\\lost.bmp"));
  Form.Button2Click();
  ASSERT_EQ(Form.ListBox1MenuItems(1).size(), 2u);
  // Another program puts a file there after the search.
  Host.Files["C:\\work\\plan\\img\\lost.bmp"] = "someone else's";
  Form.ListBox1MenuChoice(1, 0);
  EXPECT_EQ(Host.Files["C:\\work\\plan\\img\\lost.bmp"], "someone else's");
  ASSERT_EQ(Host.Messages.size(), 1u);
  EXPECT_EQ(Host.Messages[0],
            "\x89\xe6\x91\x9c\x82\xf0\x83\x52\x83\x73\x81\x5b\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
            "\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42"
            "\r\nthe file exists");
}

}  // namespace
}  // namespace pikrotta
