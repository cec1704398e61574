// The "list" command: the image-reference search run as the search button runs it.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "main_window.h"
#include "memory_controls.h"
#include "posix_host.h"

namespace pikrotta {

struct TListOptions {
  std::filesystem::path TransferFile = "JWC_TEMP.TXT";
  std::optional<std::string> JwcadPath;          // as the registry would give it
  std::map<char, std::filesystem::path> Drives;  // "C" -> folder standing for C:\ .
  bool Json = false;
};

struct TListResult {
  bool ReadComplete = true;  // false: the transfer file could not be read, nothing is listed
  std::string Output;        // UTF-8 rows, or the JSON document
  bool AllFound = true;
};

// The window's search run as the button runs it, with the controls kept in memory on a
// canvas of the given kind and the POSIX host standing in for Windows.
template <class TCanvasKind>
struct TSearchWindow {
  TPosixHost Host;
  TMemoryControls<TCanvasKind> Controls;
  TForm1 Form{Controls, Host};

  // False when the transfer file could not be read; then nothing was searched.
  bool Search(const TListOptions& options, TPoint paintSize) {
    Host.Drives = options.Drives;
    Host.JwcadOpenCommand = options.JwcadPath;
    Controls.PaintSize = paintSize;
    Form.FormCreate();
    if (!Form.ShowDrawing(options.TransferFile)) return false;
    Form.Button2Click();
    return true;
  }
};

TListResult ListImageRefs(const TListOptions& options);

// Parses "X:=DIR"; false when it does not fit.
bool ParseDriveMapping(const std::string& text, char& letter, std::filesystem::path& folder);

}  // namespace pikrotta
