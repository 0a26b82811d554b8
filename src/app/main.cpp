#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_dialogs.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  try {
    lumora::QtFileDialogs dialogs;
    lumora::QtMessageBoxes messages;
    lumora::TForm1 form1(dialogs, messages);
    lumora::TForm2 form2(&form1);
    form1.SetProgrammingWindow(&form2);
    form1.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, QStringLiteral("Lumora"), QString::fromUtf8(error.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QStringLiteral("Lumora"), QString());
  }
  return 1;
}
