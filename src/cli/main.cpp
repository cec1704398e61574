// pikrotta-cli: the portable command-line checker of Jw_cad transfer files.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "image_list.h"
#include "main_window.h"
#include "model_json.h"
#include "platform_host.h"
#include "report.h"
#include "system_clock.h"
#include "trace.h"
#include "transfer_reader.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoFile = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotAllFound = 3;

int NoSuchFile(const std::string& file) {
  std::cerr << "pikrotta-cli: no such file: " << file << "\n";
  return kExitNoFile;
}

int CannotRead(const std::string& file) {
  std::cerr << "pikrotta-cli: cannot read " << file << "\n";
  return kExitNoFile;
}

bool IsFile(const std::string& utf8) {
  std::error_code error;
  return std::filesystem::is_regular_file(pikrotta::PathFromUtf8(utf8), error);
}

// Reads the transfer file; false, with a message, when it is missing or could not be read.
bool ReadModel(const std::string& file, pikrotta::TJwwGaibu& model, int& status) {
  if (!IsFile(file)) {
    status = NoSuchFile(file);
    return false;
  }
  const auto input = pikrotta::OpenNativeFile(pikrotta::PathFromUtf8(file));
  const auto converter = pikrotta::MakeHost({});  // for files Jw_cad wrote in UTF-8
  if (!input) {
    status = CannotRead(file);
    return false;
  }
  model.UseBlockMemory(converter->BlockMemory());  // the host's memory outlives it
  pikrotta::TLineEndWatch watched(*input);
  const bool whole = pikrotta::ReadTransferFile(model, watched, converter.get());
  if (pikrotta::ReadProblemOf(whole, watched, model) == pikrotta::TReadProblem::CarriageReturnsOnly)
    std::cerr << "pikrotta-cli: " << file
              << ": its lines end in CR alone, so it reads as one line and no entity\n";
  if (!whole) {
    status = CannotRead(file);
    return false;
  }
  status = kExitOk;
  return true;
}

int RunDump(const std::string& file, bool summary) {
  pikrotta::TJwwGaibu model;
  int status = kExitOk;
  ReadModel(file, model, status);
  if (status == kExitNoFile && !IsFile(file)) return status;
  // A file that broke off part-way is still shown as far as it was read.
  if (summary)
    std::cout << pikrotta::ModelSummaryToJson(model).dump(1);
  else
    pikrotta::WriteModelJson(std::cout, model);
  std::cout << "\n";
  return status;
}

int RunTrace(const std::string& file, const std::string& size, bool search,
             const std::string& now) {
  pikrotta::TTraceOptions options;
  options.Search = search;
  if (!pikrotta::ParsePaintSize(size, options.Width, options.Height)) {
    std::cerr << "pikrotta-cli: --size wants WIDTHxHEIGHT in pixels, such as 800x600\n";
    return kExitUsage;
  }
  pikrotta::TDateTime fixed;
  if (!now.empty() && !pikrotta::ParseDateTime(now, fixed)) {
    std::cerr << "pikrotta-cli: --now wants YYYY-MM-DDTHH:MM:SS\n";
    return kExitUsage;
  }
  pikrotta::TJwwGaibu model;
  int status = kExitOk;
  ReadModel(file, model, status);
  if (status == kExitNoFile && !IsFile(file)) return status;
  const pikrotta::TSystemClock systemClock;
  const pikrotta::TFixedClock fixedClock(fixed);
  const pikrotta::TClockLocale& clock =
      now.empty() ? static_cast<const pikrotta::TClockLocale&>(systemClock) : fixedClock;
  pikrotta::TraceDrawing(model, options, clock, std::cout);
  return status;
}

// What list and report share: the transfer file, Jw_cad's path and the drive folders.
struct TSearchArgs {
  std::string File = "JWC_TEMP.TXT";
  std::string Jwcad;
  std::vector<std::string> Drives;

  void AddTo(CLI::App& command) {
    command.add_option("FILE", File, "transfer file to read")->capture_default_str();
    command.add_option(
        "--jwcad", Jwcad,
        "Jw_cad's program path, as the registry would give it (its folder holds jw_win.jwf)");
    if (pikrotta::HostMapsDrives())
      command.add_option("--drive", Drives,
                         "X:=DIR: Windows paths on drive X lie under DIR (repeatable); other "
                         "drives and network paths are not found");
  }

  // False, with a message, on a drive mapping that does not fit.
  bool ToOptions(pikrotta::TListOptions& options) const {
    options.TransferFile = pikrotta::PathFromUtf8(File);
    if (!Jwcad.empty()) options.Host.JwcadOpenCommand = Jwcad;
    for (const std::string& mapping : Drives) {
      char letter = 0;
      std::filesystem::path folder;
      if (!pikrotta::ParseDriveMapping(mapping, letter, folder)) {
        std::cerr << "pikrotta-cli: --drive wants X:=FOLDER, got " << mapping << "\n";
        return false;
      }
      options.Host.Drives[letter] = folder;
    }
    return true;
  }
};

int RunList(const TSearchArgs& args, bool json, bool doctor = false) {
  pikrotta::TListOptions options;
  if (!args.ToOptions(options)) return kExitUsage;
  options.Json = json;
  options.Doctor = doctor;
  if (!IsFile(args.File)) return NoSuchFile(args.File);
  const pikrotta::TListResult result = pikrotta::ListImageRefs(options);
  if (!result.ReadComplete) {
    return CannotRead(args.File);
  }
  std::cout << result.Output;
  return result.AllFound ? kExitOk : kExitNotAllFound;
}

int RunRestore(const TSearchArgs& args, bool apply) {
  pikrotta::TListOptions options;
  if (!args.ToOptions(options)) return kExitUsage;
  if (!IsFile(args.File)) return NoSuchFile(args.File);
  const pikrotta::TRestoreResult result = pikrotta::RestoreImageRefs(options, apply);
  if (!result.ReadComplete) return CannotRead(args.File);
  std::cout << result.Output;
  std::cerr << result.Errors;
  return result.AllCopied ? kExitOk : kExitNoFile;
}

int RunReport(const TSearchArgs& args, const std::string& size, const std::string& output,
              bool images) {
  pikrotta::TReportOptions options;
  options.Images = images;
  if (!args.ToOptions(options.List)) return kExitUsage;
  if (!pikrotta::ParsePaintSize(size, options.Width, options.Height)) {
    std::cerr << "pikrotta-cli: --size wants WIDTHxHEIGHT in pixels, such as 1200x800\n";
    return kExitUsage;
  }
  if (!IsFile(args.File)) return NoSuchFile(args.File);
  std::ofstream out;
  const pikrotta::TReport report = pikrotta::MakeReport(options, [&]() -> std::ostream* {
    out.open(pikrotta::PathFromUtf8(output), std::ios::binary);
    return &out;
  });
  if (!report.ReadComplete) {
    return CannotRead(args.File);
  }
  out.close();
  if (!out) {
    std::cerr << "pikrotta-cli: cannot write " << output << "\n";
    return kExitNoFile;
  }
  return report.AllFound ? kExitOk : kExitNotAllFound;
}

}  // namespace

int main(int argc, char** argv) {
  pikrotta::UseLargePagesForTheHeap(argv);
  std::ios::sync_with_stdio(false);  // traces are written call by call
  CLI::App app{"Checks a Jw_cad transfer file (JWC_TEMP.TXT) without Jw_cad or Windows."};
  app.name("pikrotta-cli");
  app.require_subcommand(1);
  app.allow_windows_style_options(false);  // "/x" is a path, not an option

  std::string dumpFile;
  bool summary = false;
  CLI::App* dump =
      app.add_subcommand("dump", "Print the drawing model read from FILE as one JSON document.");
  dump->add_option("FILE", dumpFile, "transfer file to read")->required();
  dump->add_flag("--summary", summary, "print only the header values and the table counts");

  std::string traceFile;
  std::string traceSize = "800x600";
  CLI::App* trace = app.add_subcommand(
      "trace", "Fit FILE to a paint area and print the canvas calls that draw it.");
  trace->add_option("FILE", traceFile, "transfer file to read")->required();
  trace->add_option("--size", traceSize, "paint area as WIDTHxHEIGHT pixels")
      ->capture_default_str();
  bool traceSearch = false;
  trace->add_flag("--search", traceSearch,
                  "search for image references first, as the search button does");
  std::string traceNow;
  trace->add_option("--now", traceNow,
                    "draw date and time codes for this local time, YYYY-MM-DDTHH:MM:SS");

  const char* statuses =
      "Exit status: 0 when every reference was found, 3 when any is missing or unresolvable, "
      "1 when FILE does not exist or cannot be read, 2 on wrong usage.";
  TSearchArgs listArgs;
  bool listJson = false;
  CLI::App* list = app.add_subcommand(
      "list", "Search FILE for image references as the search button does and list them.");
  listArgs.AddTo(*list);
  list->add_flag("--json", listJson,
                 "one JSON object per reference, with the file's facts, findings and candidates");
  list->footer(statuses);

  TSearchArgs doctorArgs;
  CLI::App* doctor = app.add_subcommand(
      "doctor",
      "Search FILE as list does and explain each reference: where its file was looked for, "
      "what is wrong with it, and files of its name nearby.");
  doctorArgs.AddTo(*doctor);
  doctor->footer(statuses);

  TSearchArgs restoreArgs;
  bool restoreApply = false;
  CLI::App* restore = app.add_subcommand(
      "restore",
      "Search FILE as list does and, for every missing picture with exactly one candidate of its "
      "name and of its placement's aspect, print the copy that puts it back where the search "
      "looks; rows with several such candidates are listed and left alone. Never overwrites a "
      "file, never changes the drawing.");
  restoreArgs.AddTo(*restore);
  restore->add_flag("--apply", restoreApply, "make the copies");
  restore->footer(
      "Exit status: 0 when every copy was made (or, without --apply, could be planned), 1 when "
      "any copy failed or FILE does not exist or cannot be read, 2 on wrong usage.");

  TSearchArgs reportArgs;
  std::string reportSize = "1200x800";
  std::string reportOutput;
  bool reportImages = false;
  CLI::App* report = app.add_subcommand(
      "report",
      "Search FILE as list does and write one HTML page with the drawing, its references "
      "circled, and the list.");
  reportArgs.AddTo(*report);
  report->add_option("-o,--output", reportOutput, "the HTML file to write")->required();
  report->add_option("--size", reportSize, "picture as WIDTHxHEIGHT pixels")->capture_default_str();
  report->add_flag("--images", reportImages,
                   "draw each found picture in its frame, as the sheet looks in Jw_cad");
  report->footer(statuses);

  const std::vector<std::string> arguments = pikrotta::Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
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

  // Out of memory anywhere (a drawing too large for this machine): one message and a failure
  // status, not an abort.
  try {
    if (*dump) return RunDump(dumpFile, summary);
    if (*trace) return RunTrace(traceFile, traceSize, traceSearch, traceNow);
    if (*list) return RunList(listArgs, listJson);
    if (*doctor) return RunList(doctorArgs, false, true);
    if (*restore) return RunRestore(restoreArgs, restoreApply);
    if (*report) return RunReport(reportArgs, reportSize, reportOutput, reportImages);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << "\npikrotta-cli: out of memory\n";
    return kExitNoFile;
  }
  return kExitUsage;
}
