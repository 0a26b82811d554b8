#pragma once

#include <string>
#include <string_view>

namespace lumora {

// How the temporary file of a save comes to be. An unnamed one has no name until it is
// complete, so a save killed before the rename leaves nothing behind; a named one is the road
// where the file system refuses unnamed files (tests take it on purpose).
enum class SaveTemporary { Unnamed, Named };

// Writes bytes to path as a whole or not at all: a temporary file beside the target is
// written, flushed to disk and renamed over it. A symbolic link stays as it is: the save lands
// on the file its links end at, created if it is missing; anything there that is no regular
// file (a folder, device, pipe or socket) is left alone and the save fails. False, with the
// previous file unchanged and no temporary left behind, when any step fails.
bool SaveFileAtomically(const std::string& path, std::string_view bytes,
                        SaveTemporary temporary = SaveTemporary::Unnamed);

}  // namespace lumora
