#include "app/window_icon.h"

#include <QDir>

namespace lumora {

QIcon WindowIcon() {
  QIcon icon;
  // Each PNG gives its own size; the window manager picks the one it shows.
  const QDir icons(QStringLiteral(":/icons"));
  for (const QString& name : icons.entryList({QStringLiteral("lumora-*.png")})) {
    icon.addFile(icons.filePath(name));
  }
  return icon;
}

}  // namespace lumora
