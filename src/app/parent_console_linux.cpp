#include "app/parent_console.h"

namespace lumora {

// A program started from a terminal writes to it already.
void UseParentConsole() {}

}  // namespace lumora
