#pragma once

#include <ostream>

namespace lumora::cli {

// lumora-cli: parses the command line and runs its subcommand. Help and version go to out
// with kExitSuccess, a wrong command line to err with kExitUsage; otherwise the
// subcommand's own exit code. terminal says whether out is a terminal.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   bool terminal);

}  // namespace lumora::cli
