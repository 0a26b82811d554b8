#include "app/program_arguments.h"

#include <algorithm>

namespace lumora {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return {argv + std::min(argc, 1), argv + argc};
}

}  // namespace lumora
