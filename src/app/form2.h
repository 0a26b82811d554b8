#pragma once

#include <QDialog>

namespace lumora {

// The programming window: created hidden at start-up and shown modally by the send command.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace lumora
