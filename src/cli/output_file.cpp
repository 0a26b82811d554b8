#include "cli/output_file.h"

#include <filesystem>

namespace lumora::cli {

bool OutputIsAFile(const std::string& output, std::ostream& err) {
  std::error_code error;
  const auto status = std::filesystem::status(output, error);
  if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return true;
  err << output << ": refused: the output is not a regular file\n";
  return false;
}

}  // namespace lumora::cli
