#include <cstdlib>
#include <string_view>

#include "cli/user_languages.h"

namespace lumora::cli {

namespace {

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// "en_US.UTF-8@euro" is "en_US".
std::string WithoutEncoding(std::string_view locale) {
  return std::string(locale.substr(0, locale.find_first_of(".@")));
}

}  // namespace

std::vector<std::string> UserLanguages() {
  std::vector<std::string> languages;
  std::string_view list = Variable("LANGUAGE");
  while (!list.empty()) {
    const std::size_t end = list.find(':');
    if (end != 0) languages.push_back(WithoutEncoding(list.substr(0, end)));
    list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
  }
  if (!languages.empty()) return languages;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const std::string_view locale = Variable(name); !locale.empty()) {
      return {WithoutEncoding(locale)};
    }
  }
  return {};
}

}  // namespace lumora::cli
