#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// The languages of the windows and of the virtual controller's report: Polish, in which the
// texts are written, and English.
enum class UiLanguage { Polish, English };

// "pl" or "en"; nothing for any other name.
inline std::optional<UiLanguage> UiLanguageNamed(std::string_view name) {
  if (name == "pl") return UiLanguage::Polish;
  if (name == "en") return UiLanguage::English;
  return std::nullopt;
}

// The language of a session: the --lang option's value when given, else LUMORA_LANG's when it
// names a language, else the first of the user's languages ("en-US" ..., most wanted first)
// that has one; Polish for the C locale and when none has one. The caller reads the
// environment; unset is passed as empty.
inline UiLanguage ChooseUiLanguage(std::string_view option, std::string_view environment,
                                   const std::vector<std::string>& userLanguages) {
  for (const std::string_view chosen : {option, environment}) {
    if (const auto language = UiLanguageNamed(chosen)) return *language;
  }
  for (const std::string_view tag : userLanguages) {
    // "C" and "POSIX" name no language: the source texts.
    if (tag == "C" || tag == "POSIX") break;
    if (const auto language = UiLanguageNamed(tag.substr(0, tag.find_first_of("-_")))) {
      return *language;
    }
  }
  return UiLanguage::Polish;
}

}  // namespace lumora
