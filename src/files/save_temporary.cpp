#include "files/save_temporary.h"

#include <atomic>
#include <charconv>
#include <string>
#include <string_view>

#include "files/utf8_path.h"

namespace lumora {
namespace {

// Names compared as UTF-8 on every platform.
std::string TemporaryPrefix(const std::filesystem::path& target) {
  return "." + Utf8Of(target.filename()) + ".tmp";
}

}  // namespace

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned long process) {
  static std::atomic<unsigned> counter{0};
  const std::string hidden =
      TemporaryPrefix(target) + std::to_string(process) + '_' + std::to_string(counter++);
  return FolderOf(target) / PathFromUtf8(hidden);
}

unsigned long MakerOf(const std::filesystem::path& entry, const std::filesystem::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  const std::string whole = Utf8Of(entry.filename());
  std::string_view name = whole;
  if (!name.starts_with(prefix)) return 0;
  name.remove_prefix(prefix.size());
  unsigned long process = 0;
  unsigned number = 0;
  const char* end = name.data() + name.size();
  const auto [underscore, processError] = std::from_chars(name.data(), end, process);
  if (processError != std::errc() || underscore == end || *underscore != '_') return 0;
  const auto [rest, numberError] = std::from_chars(underscore + 1, end, number);
  return numberError == std::errc() && rest == end ? process : 0;
}

}  // namespace lumora
