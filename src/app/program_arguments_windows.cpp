#include <windows.h>

#include <shellapi.h>

#include "app/program_arguments.h"
#include "common/windows_text.h"

namespace lumora {

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 1; arguments && i < count; ++i) utf8.push_back(Utf8(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

}  // namespace lumora
