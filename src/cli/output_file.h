#pragma once

#include <ostream>
#include <string>

namespace lumora::cli {

// Whether output may be written: missing, or a regular file (through any links). The save
// renames a new file over its target, which would put a file in place of a device such as
// /dev/stdout or of a pipe; such a target is refused with a message to err.
bool OutputIsAFile(const std::string& output, std::ostream& err);

}  // namespace lumora::cli
