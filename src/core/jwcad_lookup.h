// Where Jw_cad is installed and where it keeps its auto-saved files.
#pragma once

#include <string>

#include "host_services.h"

namespace pikrotta {

constexpr const char* kJwcadOpenCommandKey = "Jwwin.Document\\shell\\open\\command";

// Jw_cad's program path from the command registered for its documents, or empty.
std::string FindJwcadProgram(const THostServices& host);
// The AUTOSAVEDIR of Jw_cad's settings file (ending in a backslash), or the settings file's
// folder when there is none.
std::string ReadAutoSaveFolder(const THostServices& host, const std::string& settingsFile);

}  // namespace pikrotta
