#include "common/ui_language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

struct Case {
  const char* option;
  const char* environment;
  std::vector<std::string> userLanguages;  // as Qt lists them
  UiLanguage language;
};

TEST(UiLanguage, OptionThenEnvironmentThenTheUsersLanguages) {
  using enum UiLanguage;
  const std::vector<std::string> english = {"en-US", "en-Latn-US", "en"};
  const std::vector<std::string> polish = {"pl-PL", "pl-Latn-PL", "pl"};
  const Case cases[] = {
      // LANG=en_US.UTF-8, LANG=pl_PL.UTF-8, LANG=en_GB.UTF-8
      {"", "", english, English},
      {"", "", polish, Polish},
      {"", "", {"en-GB", "en-Latn-GB", "en"}, English},
      // LANG=C, LANG=POSIX or unset: Qt lists "C".
      {"", "", {"C"}, Polish},
      {"", "", {"POSIX"}, Polish},
      {"", "", {}, Polish},
      // A language without a translation, alone or before one that has one (LANGUAGE=de:en).
      {"", "", {"de-DE", "de-Latn-DE", "de"}, Polish},
      {"", "", {"de", "de-Latn-DE", "de-DE", "en", "en-Latn-US", "en-US"}, English},
      {"", "", {"de", "pl", "en"}, Polish},
      {"", "", {"en_US"}, English},
      // A language that only begins like one of ours.
      {"", "", {"eng"}, Polish},
      // LUMORA_LANG over the user's languages; a value that names none is passed over.
      {"", "en", polish, English},
      {"", "pl", english, Polish},
      {"", "en", {"C"}, English},
      {"", "de", english, English},
      {"", "EN", polish, Polish},
      // --lang over both.
      {"pl", "en", english, Polish},
      {"en", "pl", polish, English},
      {"en", "", {"C"}, English},
  };
  for (const Case& c : cases) {
    std::string languages;
    for (const std::string& language : c.userLanguages) languages += " " + language;
    EXPECT_EQ(ChooseUiLanguage(c.option, c.environment, c.userLanguages), c.language)
        << "--lang '" << c.option << "' LUMORA_LANG '" << c.environment << "' languages"
        << languages;
  }
}

}  // namespace
}  // namespace lumora
