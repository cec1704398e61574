// The "list" command: the image-reference search run as the search button runs it.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

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

TListResult ListImageRefs(const TListOptions& options);

// Parses "X:=DIR"; false when it does not fit.
bool ParseDriveMapping(const std::string& text, char& letter, std::filesystem::path& folder);

}  // namespace pikrotta
