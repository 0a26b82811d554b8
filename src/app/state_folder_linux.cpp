#include <QDir>
#include <QStandardPaths>

#include "app/state_folder.h"

namespace lumora {

// The XDG base directories' state home; Qt names it only from 6.7 on. A relative value is
// ignored, as the specification says.
std::string UserStateFolder() {
  QString home = qEnvironmentVariable("XDG_STATE_HOME");
  if (!QDir::isAbsolutePath(home)) {
    home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation) +
           QStringLiteral("/.local/state");
  }
  return (home + QStringLiteral("/lumora")).toStdString();
}

}  // namespace lumora
