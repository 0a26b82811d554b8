#pragma once

#include <filesystem>
#include <string>

namespace bench {

// A program of the build tree, given from the benchmark's own folder: the compile then holds no
// path of the checkout, and another clone's build finds it in ccache.
inline std::string Beside(const char* fromBenchmark) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / fromBenchmark)
      .lexically_normal()
      .string();
}

}  // namespace bench
