#pragma once

namespace lumora::cli {

// What lumora-cli tells the shell.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitRefused = 1,     // a file refused, an output not written, a transfer not completed
  kExitUsage = 2,       // the command line itself is wrong
  kExitDeviceLost = 3,  // the programmer could not be reached or went away during the transfer
};

}  // namespace lumora::cli
