#include <QFileInfo>
#include <QStandardPaths>

#include "app/user_settings.h"

namespace lumora {

namespace {
// Lumora's own settings take a few kilobytes.
constexpr qint64 kLargestSettingsFile = 1 << 20;
}  // namespace

std::unique_ptr<QSettings> OpenUserSettings() {
  const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/lumora/lumora.conf");
  // Looked at without opening it: opening a pipe waits for a writer. A link is followed.
  const QFileInfo file(path);
  if (file.exists() && (!file.isFile() || file.size() > kLargestSettingsFile)) return nullptr;
  // This one file only, without the system-wide files QSettings would also read.
  return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

}  // namespace lumora
