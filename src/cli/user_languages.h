#pragma once

#include <string>
#include <vector>

namespace lumora::cli {

// The user's languages as the system names them, most wanted first, read where Qt reads them
// for the windows: on Linux LANGUAGE's list, else the first of LC_ALL, LC_MESSAGES and LANG
// that is set ("en_US", "C"; the encoding left off); on Windows the user's preferred
// interface languages ("en-US"). One platform file each.
std::vector<std::string> UserLanguages();

}  // namespace lumora::cli
