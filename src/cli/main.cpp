// pikrotta-cli: the portable command-line checker of Jw_cad transfer files.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>

#include "model_json.h"
#include "transfer_reader.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoFile = 1;
constexpr int kExitUsage = 2;

int RunDump(const std::filesystem::path& file, bool summary) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    std::cerr << "pikrotta-cli: no such file: " << file.string() << "\n";
    return kExitNoFile;
  }
  pikrotta::TJwwGaibu model;
  const bool complete = pikrotta::ReadTransferFile(model, file);
  const auto json = summary ? pikrotta::ModelSummaryToJson(model) : pikrotta::ModelToJson(model);
  std::cout << json.dump(1) << "\n";
  if (!complete) {
    std::cerr << "pikrotta-cli: could not read all of " << file.string() << "\n";
    return kExitNoFile;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Checks a Jw_cad transfer file (JWC_TEMP.TXT) without Jw_cad or Windows."};
  app.name("pikrotta-cli");
  app.require_subcommand(1);

  std::string dumpFile;
  bool summary = false;
  CLI::App* dump =
      app.add_subcommand("dump", "Print the drawing model read from FILE as one JSON document.");
  dump->add_option("FILE", dumpFile, "transfer file to read")->required();
  dump->add_flag("--summary", summary, "print only the header values and the table counts");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    std::cout << app.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    std::cerr << "pikrotta-cli: " << e.what() << "\n"
              << "Run with --help for usage.\n";
    return kExitUsage;
  }

  if (*dump) return RunDump(dumpFile, summary);
  return kExitUsage;
}
