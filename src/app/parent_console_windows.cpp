#include <windows.h>

#include <cstdio>

#include "app/parent_console.h"

namespace lumora {

void UseParentConsole() {
  // Output redirected into a file or a pipe stays there.
  if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
}

}  // namespace lumora
