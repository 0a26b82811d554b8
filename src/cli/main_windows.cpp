#include <io.h>
#include <windows.h>
// The command line's splitting, after the declarations it uses.
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "common/windows_text.h"

// The arguments come from the system in UTF-16 and go on in UTF-8, as on Linux, so that any
// file name reaches the readers whole; the console shows the UTF-8 messages as they are.
int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(lumora::Utf8(wide[i]));
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  SetConsoleOutputCP(CP_UTF8);
  return lumora::cli::RunCommandLine(count, argv.data(), std::cout, std::cerr,
                                     _isatty(_fileno(stdout)) != 0);
}
