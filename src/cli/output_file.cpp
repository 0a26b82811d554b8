#include "cli/output_file.h"

#include <filesystem>

#include "cli/exit_codes.h"

namespace lumora::cli {

bool OutputIsAFile(const std::string& output, std::ostream& err) {
  std::error_code error;
  const auto status = std::filesystem::status(output, error);
  if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return true;
  err << output << ": refused: the output is not a regular file\n";
  return false;
}

int FlushedOut(int exitCode, std::ostream& out, std::ostream& err) {
  if (out.flush()) return exitCode;
  err << "standard output: could not be written\n";
  return kExitRefused;
}

}  // namespace lumora::cli
