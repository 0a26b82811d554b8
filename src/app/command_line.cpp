#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "common/ui_language.h"
#include "main_window/files_to_open.h"

namespace lumora {

namespace {

// Qt's options that take the next argument as their value.
constexpr std::array<std::string_view, 13> kQtOptionsWithValue = {
    "-platform",        "-platformpluginpath",
    "-platformtheme",   "-plugin",
    "-qwindowgeometry", "-geometry",
    "-qwindowicon",     "-qwindowtitle",
    "-display",         "-name",
    "-session",         "-style",
    "-stylesheet"};
// Qt's options that stand alone.
constexpr std::array<std::string_view, 5> kQtFlags = {"-reverse", "-widgetcount", "-sync",
                                                      "-nograb", "-dograb"};
// Qt's options that also take their value after '='.
constexpr std::array<std::string_view, 2> kQtOptionsWithJoinedValue = {"-style=", "-stylesheet="};

// The language of the windows, as "--lang en" or "--lang=en".
constexpr std::string_view kLang = "--lang";
constexpr std::string_view kLangJoined = "--lang=";

template <std::size_t N>
bool IsOneOf(std::string_view option, const std::array<std::string_view, N>& options) {
  return std::find(options.begin(), options.end(), option) != options.end();
}

bool HasJoinedValue(std::string_view option) {
  return std::any_of(kQtOptionsWithJoinedValue.begin(), kQtOptionsWithJoinedValue.end(),
                     [option](std::string_view prefix) {
                       return option.size() > prefix.size() && option.starts_with(prefix);
                     });
}

std::string HelpText() {
  return "Usage: lumora [OPTION]... [FILE.prj] [FILE.sqx]\n"
         "Design light shows for LED tubes and program them into the LED controller.\n"
         "\n"
         "A project (.prj) and a sequence (.sqx) given are opened as the window's open\n"
         "buttons open them, the project first; a file that is missing or refused gets\n"
         "the buttons' message, and the window opens all the same. The extension may\n"
         "be in any case; one file of each kind at most.\n"
         "\n"
         "Options:\n"
         "  -h, --help        print this help and exit\n"
         "      --version     print the version and exit\n"
         "      --lang pl|en  the language of the windows: Polish or English\n"
         "\n"
         "Qt's own options are passed on to Qt, with one or two leading dashes:\n"
         "  -platform NAME[:OPTIONS], -platformpluginpath PATH, -platformtheme NAME,\n"
         "  -plugin NAME, -qwindowgeometry GEOMETRY, -geometry GEOMETRY,\n"
         "  -qwindowicon FILE, -qwindowtitle TITLE, -display DISPLAY, -name NAME,\n"
         "  -session ID, -style NAME (or -style=NAME), -stylesheet FILE (or\n"
         "  -stylesheet=FILE), -reverse, -widgetcount, -sync, -nograb, -dograb\n"
         "Any other argument is an error (exit code 2): an unknown option, a file name\n"
         "of another extension, a second project or a second sequence.\n"
         "\n"
         "Environment:\n"
         "  LUMORA_ADAPTER  the programming adapter, read at start-up:\n"
         "    unset, usb    an FTDI USB chip, driven through libftdi1 (on Windows\n"
         "                  through the chip maker's D2XX driver)\n"
         "    virtual       a virtual programmer and controller, in memory only\n"
         "    virtual:DIR   the same, writing its report, image and wire log into DIR\n"
         "    tty:PATH      on Linux: the serial device PATH through the kernel's driver,\n"
         "                  for any USB-serial adapter that does 250,000 baud\n"
         "    com:PORT      on Windows: the COM port PORT (COM3) through the adapter\n"
         "                  maker's serial driver\n"
         "  LUMORA_LANG     pl or en: the language of the windows, when --lang is not\n"
         "                  given. Without either the windows are English when the first\n"
         "                  of the user's languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)\n"
         "                  that Lumora has is English, and Polish otherwise, the C\n"
         "                  locale included.\n"
         "\n"
         "Exit status: 0 on success, 1 on a failure at start-up, 2 for a wrong argument\n"
         "or LUMORA_ADAPTER value.\n";
}

CommandLineAnswer Error(std::string message) {
  return {CommandLineAction::Error,
          "lumora: " + std::move(message) + "\nTry 'lumora --help' for more information.\n"};
}

}  // namespace

CommandLineAnswer ReadCommandLine(const std::vector<std::string>& arguments) {
  CommandLineAnswer run;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") return {CommandLineAction::Help, HelpText()};
    if (argument == "--version") {
      return {CommandLineAction::Version, "lumora " LUMORA_VERSION "\n"};
    }
    if (argument == kLang || argument.starts_with(kLangJoined)) {
      std::string_view value;
      if (argument != kLang) {
        value = argument.substr(kLangJoined.size());
      } else if (++i < arguments.size()) {
        value = arguments[i];
      } else {
        return Error("option '--lang' needs a value");
      }
      if (!UiLanguageNamed(value)) {
        return Error("unknown language '" + std::string(value) + "'; choose pl or en");
      }
      run.Language = value;
      continue;
    }
    // Qt reads its options with one dash or two.
    const std::string_view option = argument.starts_with("--") ? argument.substr(1) : argument;
    if (IsOneOf(option, kQtFlags) || HasJoinedValue(option)) continue;
    if (IsOneOf(option, kQtOptionsWithValue)) {
      if (++i == arguments.size()) {
        return Error("option '" + std::string(argument) + "' needs a value");
      }
      continue;
    }
    if (argument.starts_with("-")) return Error("unknown option '" + std::string(argument) + "'");
    files.emplace_back(argument);
  }
  FilesToOpen sorted = SortFilesToOpen(files);
  switch (sorted.refusal) {
    case FilesToOpen::Refusal::None:
      break;
    case FilesToOpen::Refusal::NotSequenceOrProject:
      return Error("cannot open '" + sorted.refused +
                   "': Lumora opens projects (.prj) and sequences (.sqx)");
    case FilesToOpen::Refusal::TwoOfAKind:
      return Error("cannot open '" + sorted.refused +
                   "' too: one project and one sequence at most");
  }
  run.Project = std::move(sorted.project);
  run.Sequence = std::move(sorted.sequence);
  return run;
}

std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err, CommandLineAnswer* run) {
  CommandLineAnswer answer = ReadCommandLine(arguments);
  switch (answer.Action) {
    case CommandLineAction::Run:
      if (run) *run = std::move(answer);
      return std::nullopt;
    case CommandLineAction::Help:
    case CommandLineAction::Version:
      out << answer.Text << std::flush;
      return out ? 0 : 1;
    case CommandLineAction::Error:
      err << answer.Text << std::flush;
      return 2;
  }
  return 2;
}

}  // namespace lumora
