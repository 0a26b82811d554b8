#include <unistd.h>

#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char* argv[]) {
  return lumora::cli::RunCommandLine(argc, argv, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1);
}
