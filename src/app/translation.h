#pragma once

#include <string>
#include <vector>

#include "app/ui_language.h"

namespace lumora {

// Shows the windows made from now on in language: English installs the built-in translation,
// Polish, the texts' own language, takes any installed one away. Throws when the translation
// cannot be read.
void UseLanguage(UiLanguage language);

// The user's languages as Qt reads them from the environment, most wanted first.
std::vector<std::string> SystemUiLanguages();

}  // namespace lumora
