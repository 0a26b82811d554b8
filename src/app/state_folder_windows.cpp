#include <QStandardPaths>

#include "app/state_folder.h"

namespace lumora {

// The user's local application data (AppData\Local), which stays on this machine.
std::string UserStateFolder() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
          QStringLiteral("/Lumora"))
      .toStdString();
}

}  // namespace lumora
