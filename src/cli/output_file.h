#pragma once

#include <ostream>
#include <string>

namespace lumora::cli {

// Whether output may be written: missing, or a regular file (through any links). The save
// itself never replaces anything else; this check comes first so that a device such as
// /dev/stdout or a pipe is refused by name, with a message to err, before any work is done.
bool OutputIsAFile(const std::string& output, std::ostream& err);

// exitCode, or kExitRefused with a message to err when what went to out (standard output)
// could not all be written, as on a full disk: an output not written is no success.
int FlushedOut(int exitCode, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
