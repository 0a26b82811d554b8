#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// The languages of the windows: Polish, in which the texts are written, and English.
enum class UiLanguage { Polish, English };

// "pl" or "en"; nothing for any other name.
std::optional<UiLanguage> UiLanguageNamed(std::string_view name);

// The language of the windows: the --lang option's value when given, else LUMORA_LANG's
// when it names a language, else the first of the user's languages (Qt's list, "en-US" ...,
// most wanted first) that has one; Polish for the C locale and when none has one. The caller
// reads the environment; unset is passed as empty.
UiLanguage ChooseUiLanguage(std::string_view option, std::string_view environment,
                            const std::vector<std::string>& userLanguages);

}  // namespace lumora
