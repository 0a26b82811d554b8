#include "app/window_icon.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace lumora {

QIcon WindowIcon() {
  QIcon icon;
  // Each PNG gives its own size; the window manager picks the one it shows. The folder holds
  // nothing else: a name filter would bring in the regular-expression engine at start-up.
  const QDir icons(QStringLiteral(":/icons"));
  for (const QString& name : icons.entryList(QDir::Files)) {
    // Read as PNG and nothing else: left to guess, the reader loads every image plugin
    // installed (JPEG, GIF, ICO and their libraries) to ask each of them first.
    QFile file(icons.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    icon.addPixmap(QPixmap::fromImage(reader.read()));
  }
  return icon;
}

}  // namespace lumora
