#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "common/ui_language.h"

namespace lumora {

// Shows the windows made from now on in language, Qt's own dialogs and buttons included:
// English installs the built-in translation, Polish, the texts' own language, takes it away
// and installs Qt's Polish. Throws when the built-in translation cannot be read.
void UseLanguage(UiLanguage language);

// A message of the logic, marked under the context "message", in the language in use. A
// message the logic joined from several, one line after another, is translated a part at a
// time.
QString TranslatedMessage(std::string_view text);
// The same for a message in which %1 stands for value.
QString TranslatedMessage(std::string_view text, std::string_view value);

// The user's languages as Qt reads them from the environment, most wanted first.
std::vector<std::string> SystemUiLanguages();

}  // namespace lumora
