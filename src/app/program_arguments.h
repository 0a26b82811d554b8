#pragma once

#include <string>
#include <vector>

namespace lumora {

// The program's arguments after its name, in UTF-8 as the program keeps paths. On Windows they
// are read from the command line's UTF-16, since main's own are in the system's code page, which
// cannot hold every file name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace lumora
