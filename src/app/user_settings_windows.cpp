#include "app/user_settings.h"

namespace lumora {

std::unique_ptr<QSettings> OpenUserSettings() {
  auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                              QStringLiteral("Lumora"), QStringLiteral("Lumora"));
  settings->setFallbacksEnabled(false);
  return settings;
}

}  // namespace lumora
