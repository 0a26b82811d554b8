#include <windows.h>

#include "cli/user_languages.h"
#include "common/windows_text.h"

namespace lumora::cli {

std::vector<std::string> UserLanguages() {
  ULONG count = 0;
  ULONG size = 0;
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) {
    return {};
  }
  std::wstring names(size, L'\0');
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) return {};
  // Names one after the other, each ended by a null, the list by another.
  std::vector<std::string> languages;
  for (const wchar_t* name = names.c_str(); *name != L'\0'; name += wcslen(name) + 1) {
    languages.push_back(Utf8(name));
  }
  return languages;
}

}  // namespace lumora::cli
