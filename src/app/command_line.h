#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumora {

// What the command line asks for before any window exists.
enum class CommandLineAction { Run, Help, Version, Error };

struct CommandLineAnswer {
  CommandLineAction Action = CommandLineAction::Run;
  // The help or version text, or the message for an error.
  std::string Text;
  // The --lang option's value ("pl" or "en"), empty when not given.
  std::string Language = {};
  // The project and the sequence the window opens, as given; empty when not given.
  std::string Project = {};
  std::string Sequence = {};
};

// Reads the arguments after the program name, left to right: the first --help, --version
// or unknown argument decides. --lang takes pl or en; Qt's own options (with their values)
// are let through for QApplication; a file name ending ".prj" or ".sqx" (in any case) is a
// project or a sequence to open, one of each at most; anything else is an error.
CommandLineAnswer ReadCommandLine(const std::vector<std::string>& arguments);

// Prints the help or version text to out, or an error to err, and gives the exit code
// (0, or 2 for an error); gives nothing when the program should start its windows, and then
// puts the answer, with the language and the files, into run.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err, CommandLineAnswer* run = nullptr);

}  // namespace lumora
