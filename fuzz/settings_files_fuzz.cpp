// Reads arbitrary bytes as the window settings file and as Jw_cad's jw_win.jwf.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fake_host.h"
#include "jwcad_lookup.h"
#include "window_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pikrotta;
  test::TFakeHost host;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  host.Files["C:\\TOOLS\\pikrotta.dat"] = bytes;
  host.Files["C:\\JWW\\jw_win.jwf"] = bytes;
  host.FailReads = size % 2 == 1;
  const TWindowSettings settings = LoadWindowSettings(host, "C:\\TOOLS\\pikrotta.dat");
  if (!host.FailReads &&
      (settings.Width < 475 || settings.Height < 200 || settings.PanelWidth < 100))
    std::abort();
  const std::string folder = ReadAutoSaveFolder(host, "C:\\JWW\\jw_win.jwf");
  if (folder.empty()) std::abort();  // at least the settings file's own folder
  host.Registry = bytes;
  FindJwcadProgram(host);
  return 0;
}
