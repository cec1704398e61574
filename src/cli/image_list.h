// The "list" command: the image-reference search run as the search button runs it.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "main_window.h"
#include "memory_controls.h"
#include "platform_host.h"

namespace pikrotta {

struct TListOptions {
  std::filesystem::path TransferFile = "JWC_TEMP.TXT";
  // JwcadOpenCommand: Jw_cad's program path as the registry would give it; Drives: "C" ->
  // the folder standing for C:\ (POSIX only).
  THostSetup Host;
  bool Json = false;
  // A readable explanation per reference: where it was looked for, what is wrong with it,
  // and files of its name nearby.
  bool Doctor = false;
};

struct TListResult {
  bool ReadComplete = true;  // false: the transfer file could not be read, nothing is listed
  std::string Output;        // UTF-8 rows, or the JSON document
  bool AllFound = true;
};

// The window's search run as the button runs it, with the controls kept in memory on a
// canvas of the given kind and this system's host services.
template <class TCanvasKind>
struct TSearchWindow {
  explicit TSearchWindow(const TListOptions& options) : Options(options) {}

  const TListOptions& Options;
  std::unique_ptr<THostServices> Host = MakeHost(Options.Host);
  TMemoryControls<TCanvasKind> Controls;
  TForm1 Form{Controls, *Host};

  // False when the transfer file could not be read; then nothing was searched.
  bool Search(TPoint paintSize) {
    Controls.PaintSize = paintSize;
    Form.FormCreate();
    const std::unique_ptr<TInputFile> file = OpenNativeFile(Options.TransferFile);
    if (!Form.ShowDrawing(file.get())) return false;
    Form.Button2Click();
    return true;
  }
};

TListResult ListImageRefs(const TListOptions& options);

// The diagnosis of every listed row of a search, with picture headers read by stb_image.
std::vector<TImageRefDiagnosis> DiagnoseSearch(const TForm1& form, const THostServices& host);

struct TRestoreResult {
  bool ReadComplete = true;
  std::string Output;  // UTF-8: the copies made or to make, and the rows left alone
  std::string Errors;  // UTF-8: one line per copy that failed
  bool AllCopied = true;
};

// Puts missing pictures back where the search looks for them: for each missing row with one
// candidate of its name and aspect, that candidate is copied there when apply is set. Never
// overwrites; the drawing and the transfer file stay as they are.
TRestoreResult RestoreImageRefs(const TListOptions& options, bool apply);

// Paths as the command line takes and prints them: UTF-8 on every system.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Parses "X:=DIR"; false when it does not fit.
bool ParseDriveMapping(const std::string& text, char& letter, std::filesystem::path& folder);

}  // namespace pikrotta
