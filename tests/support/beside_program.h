#pragma once

#include <filesystem>
#include <string>

namespace lumora::testing {

// A program or folder of the build tree, given from the running program's own folder: the
// compile then holds no path of the checkout, and another clone's build finds it in ccache.
inline std::string BesideProgram(const char* fromHere) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / fromHere)
      .lexically_normal()
      .string();
}

}  // namespace lumora::testing
