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
};

// Reads the arguments after the program name, left to right: the first --help, --version
// or unknown argument decides. Qt's own options (with their values) are let through for
// QApplication; anything else is an error.
CommandLineAnswer ReadCommandLine(const std::vector<std::string>& arguments);

// Prints the help or version text to out, or an error to err, and gives the exit code
// (0, or 2 for an error); gives nothing when the program should start its windows.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

}  // namespace lumora
