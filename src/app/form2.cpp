#include "app/form2.h"

namespace lumora {

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Programowanie sterownika"));
  setFixedSize(476, 224);
  move(293, 213);
  // Only the main window keeps the program running.
  setAttribute(Qt::WA_QuitOnClose, false);
}

}  // namespace lumora
