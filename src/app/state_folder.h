#pragma once

#include <string>

namespace lumora {

// Lumora's folder among the user's state, the files a program keeps between its runs that
// are no documents (UTF-8): on Linux XDG_STATE_HOME's "lumora" (~/.local/state/lumora), on
// Windows the local application data's "Lumora". Not made here.
std::string UserStateFolder();

}  // namespace lumora
