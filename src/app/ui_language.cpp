#include "app/ui_language.h"

namespace lumora {

std::optional<UiLanguage> UiLanguageNamed(std::string_view name) {
  if (name == "pl") return UiLanguage::Polish;
  if (name == "en") return UiLanguage::English;
  return std::nullopt;
}

UiLanguage ChooseUiLanguage(std::string_view option, std::string_view environment,
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
