#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "cli/check_command.h"
#include "cli/controller_files.h"
#include "cli/exit_codes.h"
#include "cli/gif_commands.h"
#include "cli/program_command.h"
#include "cli/user_languages.h"
#include "common/program_tables.h"
#include "files/table_file.h"
#include "main_window/effect_steps.h"
#include "programming/programming_settings.h"

namespace lumora::cli {

namespace {

using Run = std::function<int()>;

const std::map<std::string, int> kModes = [] {
  std::map<std::string, int> modes;
  for (int mode = EffectNormal; mode <= EffectWave2; ++mode) {
    modes.emplace(kEffectModeNames[mode - EffectNormal], mode);
  }
  return modes;
}();

CLI::Range RangeOf(Spinner spinner) {
  const lumora::SpinnerRange& range = kSpinnerRanges[static_cast<int>(spinner)];
  return CLI::Range(range.Min, range.Max);
}

void AddCheck(CLI::App& app, Run& run, std::ostream& out, std::ostream& err) {
  auto* command = app.add_subcommand("check",
                                     "Validate sequence (.sqx), project (.prj) and "
                                     "table (.tab) files and summarise them");
  auto files = std::make_shared<std::vector<std::string>>();
  command->add_option("FILE", *files, "Files to check")->required();
  command->callback([&run, &out, &err, files] {
    run = [&out, &err, files] { return CheckFiles(*files, out, err); };
  });
}

void AddImage(CLI::App& app, Run& run, std::ostream& out, std::ostream& err) {
  auto* command =
      app.add_subcommand("image", "Write the controller image the programming window sends (" +
                                      std::to_string(kTransferBytes) + " bytes)");
  struct Args {
    std::string project, table{kTableFileName}, output;
    bool hex = false;
  };
  auto args = std::make_shared<Args>();
  command->add_option("PROJECT", args->project, "Project file (.prj)")->required();
  command->add_option("--table", args->table, "Table file")->capture_default_str();
  auto* output = command->add_option("-o,--output", args->output, "Where to write the image");
  auto* hex = command->add_flag("--hex", args->hex, "Write a hex dump (to stdout without -o)");
  command->callback([&run, &out, &err, args, output, hex] {
    if (output->count() == 0 && hex->count() == 0) {
      throw CLI::RequiredError("-o,--output (or --hex)");
    }
    run = [&out, &err, args] {
      return WriteImage(args->project, args->table, args->output, args->hex, out, err);
    };
  });
}

void AddListingAndExport(CLI::App& app, Run& run, std::ostream& err) {
  auto* listing = app.add_subcommand(
      "listing", "Write the four listings of \"save all\": automatic, program and scene tables");
  auto project = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  listing->add_option("PROJECT", *project, "Project file (.prj)")->required();
  listing->add_option("-o,--output", *output, "Listing file")->required();
  listing->callback([&run, &err, project, output] {
    run = [&err, project, output] { return WriteListing(*project, *output, err); };
  });

  auto* exportCommand =
      app.add_subcommand("export", "Write the export line of a sequence with a project");
  auto sequence = std::make_shared<std::string>();
  exportCommand->add_option("SEQUENCE", *sequence, "Sequence file (.sqx)")->required();
  exportCommand->add_option("--project", *project, "Project file (.prj)")->required();
  exportCommand->add_option("-o,--output", *output, "Export file")->required();
  exportCommand->callback([&run, &err, sequence, project, output] {
    run = [&err, sequence, project, output] {
      return WriteExport(*sequence, *project, *output, err);
    };
  });
}

void AddProgram(CLI::App& app, Run& run, std::ostream& out, std::ostream& err, bool terminal) {
  auto* command =
      app.add_subcommand("program", "Program the controller through the programmer, headless");
  command->footer(
      "Ctrl+C (SIGINT) or SIGTERM stops the transfer as a lost programmer does: the adapter is "
      "closed with the line idle, the transfer stays incomplete, and the exit code "
      "is 130 for Ctrl+C, 143 for SIGTERM (on Windows Ctrl+Break or closing the console).");
  auto request = std::make_shared<ProgramRequest>();
  request->tableFile = kTableFileName;
  request->terminal = terminal;
  auto programmer = std::make_shared<std::string>();
  command->add_option("PROJECT", request->project, "Project file (.prj)")->required();
  command->add_option("--table", request->tableFile, "Table file")->capture_default_str();
  command
      ->add_option("--programmer", *programmer,
                   "usb (Brightwave USB) or standard (Standard programmer)")
      ->required()
      ->check(CLI::IsMember({"usb", "standard"}));
  command->add_option("--address", request->address, "DMX address of one controller")
      ->check(RangeOf(Spinner::Address));
  auto* solo = command->add_option("--solo-program", request->soloProgram, "DMX program to play")
                   ->check(RangeOf(Spinner::Program));
  command->add_option("--solo-auto", request->soloAuto, "Automatic program to play")
      ->check(RangeOf(Spinner::Auto))
      ->excludes(solo);
  command->add_option("--speed", request->speed, "Speed")->check(RangeOf(Spinner::Speed));
  command->add_option("--tubes", request->tubes, "Number of tubes")->check(RangeOf(Spinner::Tubes));
  command
      ->add_option("--adapter", request->adapter,
                   "usb, tty:PATH (on Windows com:PORT), virtual or virtual:DIR")
      ->capture_default_str();
  command->callback([&run, &out, &err, request, programmer] {
    request->programmer =
        *programmer == "standard" ? ProgrammerChoice::Standard : ProgrammerChoice::Usb;
    // The virtual controller's report is in the session's language, as the windows are.
    const char* language = std::getenv("LUMORA_LANG");
    request->reportLanguage =
        ChooseUiLanguage({}, language != nullptr ? language : "", UserLanguages());
    run = [&out, &err, request] { return ProgramController(*request, out, err); };
  });
}

void AddRenderAndImport(CLI::App& app, Run& run, std::ostream& out, std::ostream& err,
                        bool terminal) {
  auto* render = app.add_subcommand(
      "render", "Render the preview of a sequence as an animated GIF, 10 frames a second");
  auto renderArgs = std::make_shared<RenderRequest>();
  render->add_option("SEQUENCE", renderArgs->sequence, "Sequence file (.sqx)")->required();
  render->add_option("-o,--output", renderArgs->output, "GIF file")->required();
  render
      ->add_option("--scale", renderArgs->scale,
                   "Pixels per cell: 1 draws a cell as one pixel, 24 as in the main window")
      ->capture_default_str()
      ->check(CLI::Range(1, 96));
  render->add_option("--frames", renderArgs->frames, "Frames (default: one pass)")
      ->check(CLI::Range(1, kMaxRenderFrames));
  render->callback([&run, &out, &err, renderArgs, terminal] {
    run = [&out, &err, renderArgs, terminal] {
      return RenderSequence(*renderArgs, out, err, terminal);
    };
  });

  auto* importCommand = app.add_subcommand(
      "import",
      "Make a sequence of an animated GIF's frames (8 x 16, 16 x 8, or scaled down to it)");
  struct ImportArgs {
    std::string gif, output, mode{kEffectModeNames[0]};
    int every = 1;
  };
  auto importArgs = std::make_shared<ImportArgs>();
  importCommand->add_option("GIF", importArgs->gif, "Animated GIF")->required();
  importCommand->add_option("-o,--output", importArgs->output, "Sequence file (.sqx)")->required();
  importCommand
      ->add_option("--mode", importArgs->mode,
                   "Effect mode of the sequence: normal, fala1 (wave1) or fala2 (wave2)")
      ->capture_default_str()
      ->check(CLI::IsMember(kModes));
  importCommand
      ->add_option("--every", importArgs->every,
                   "Take frames N, 2N, 3N ... only: a render longer than a sequence's 99 scenes, "
                   "such as one pass of a wave, played N times faster")
      ->capture_default_str()
      ->check(CLI::Range(1, kMaxRenderFrames));
  importCommand->callback([&run, &err, importArgs] {
    run = [&err, importArgs] {
      return ImportGif(importArgs->gif, importArgs->output, kModes.at(importArgs->mode),
                       importArgs->every, err);
    };
  });
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   bool terminal) {
  CLI::App app{"lumora-cli: the files and the programmer of Lumora from a terminal or a script"};
  app.name("lumora-cli");
  app.set_version_flag("--version", "lumora-cli " LUMORA_VERSION);
  app.require_subcommand(1);
  app.footer(
      "Exit codes: 0 success, 1 a refused input or an output not written, 2 a wrong command "
      "line, 3 no programmer found or the programmer lost, 130 a transfer stopped by Ctrl+C "
      "(SIGINT), 143 one stopped by SIGTERM.");
  Run run;
  AddCheck(app, run, out, err);
  AddImage(app, run, out, err);
  AddListingAndExport(app, run, err);
  AddProgram(app, run, out, err, terminal);
  AddRenderAndImport(app, run, out, err, terminal);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == 0 ? kExitSuccess : kExitUsage;
  }
  return run();
}

}  // namespace lumora::cli
