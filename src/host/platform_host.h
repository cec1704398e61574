// The host services of the system this program is built for, as the command line, the tools
// and the tests make them. The implementation is the POSIX or the Windows one, chosen by CMake.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host_services.h"

namespace pikrotta {

struct THostSetup {
  // Stands in for the registry's open command of Jw_cad's documents when set.
  std::optional<std::string> JwcadOpenCommand;
  // Drive letter (upper case) to the folder that stands for its root. Only where the system
  // has no drives of its own (POSIX); Windows paths elsewhere are not found.
  std::map<char, std::filesystem::path> Drives;
};

std::unique_ptr<THostServices> MakeHost(const THostSetup& setup);
// Whether THostSetup::Drives is used: false on Windows, which has drives of its own.
bool HostMapsDrives();

// The program's arguments in UTF-8 (on Windows from the wide command line, so that names in
// any language survive whatever the machine's code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Where the system backs a heap with large pages only on request (Linux with transparent huge
// pages in "madvise" mode), starts this program again, once, with glibc's tunable that asks
// for them: a search of a million references touches half a gigabyte of small allocations.
// Returns when there is nothing to do or the new start failed.
void UseLargePagesForTheHeap(char** argv);

// Opens a file by a path of this system, as a user gives it on the command line; null when
// there is no file (a folder is not one).
std::unique_ptr<TInputFile> OpenNativeFile(const std::filesystem::path& path);

}  // namespace pikrotta
