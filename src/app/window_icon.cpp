#include "app/window_icon.h"

#include <QDir>

namespace lumora {

QIcon WindowIcon() {
  QIcon icon;
  // Each PNG gives its own size; the window manager picks the one it shows. The folder holds
  // nothing else: a name filter would bring in the regular-expression engine at start-up.
  const QDir icons(QStringLiteral(":/icons"));
  for (const QString& name : icons.entryList(QDir::Files)) {
    icon.addFile(icons.filePath(name));
  }
  return icon;
}

}  // namespace lumora
