#pragma once

#include <string>
#include <string_view>

namespace lumora {

// Writes bytes to path as a whole or not at all: a temporary file beside the target is
// written, flushed to disk and renamed over it. False, with the previous file unchanged and no
// temporary left behind, when any step fails.
bool SaveFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace lumora
