#include "app/qt_defaults.h"

#include <QByteArray>

namespace lumora {

void ChooseQtDefaults() {
  // One look on every system, the one the captions' room is measured for; -style and
  // QT_STYLE_OVERRIDE still choose another.
  if (!qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) qputenv("QT_STYLE_OVERRIDE", "Fusion");
  // On X11 a repaint is a few cells: sending their pixels to the X server costs less than its
  // shared-memory path, which waits for the server before each repaint of what it last showed
  // (a preview frame every 100 ms).
  qputenv("QT_XCB_NO_MITSHM", "1");
}

}  // namespace lumora
