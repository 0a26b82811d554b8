#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumora::cli {

// "check FILE...": reads each sequence (.sqx), project (.prj) and table file (.tab) with the
// application's readers and prints a summary of it to out, or why it was refused to err.
// kExitSuccess when every file was accepted, else kExitRefused.
int CheckFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
