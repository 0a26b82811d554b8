#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

#include <QApplication>
#include <QMessageBox>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/parent_console.h"
#include "app/qt_dialogs.h"
#include "app/system_realtime.h"
#include "app/ui_thread_broker.h"
#include "programming/adapters/adapter_choice.h"
#include "programming/adapters/ftdi_adapter.h"
#include "timer/mm_timer.h"

namespace {

void ShowStartError(const QString& text) {
  QMessageBox::critical(nullptr, QStringLiteral("Lumora"), text);
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version answer without a display; a wrong argument ends here with code 2.
  lumora::UseParentConsole();
  if (const auto exitCode = lumora::AnswerCommandLine(argc, argv, std::cout, std::cerr)) {
    return *exitCode;
  }
  QApplication application(argc, argv);
  // Lets the desktop match the windows to the installed menu entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("lumora"));
  try {
    // LUMORA_ADAPTER picks the programming adapter: unset or "usb" for an FTDI chip,
    // "virtual" or "virtual:DIR" for the programmer and controller played in software,
    // "tty:PATH" for a serial device the kernel drives.
    const char* adapterValue = std::getenv("LUMORA_ADAPTER");
    lumora::AdapterChoice choice = lumora::ChooseAdapter(
        adapterValue ? adapterValue : "", [] { return std::make_unique<lumora::FtdiAdapter>(); });
    if (!choice.Adapter) {
      ShowStartError(QString::fromStdString(choice.Error));
      return 2;
    }
    lumora::QtFileDialogs dialogs;
    lumora::QtMessageBoxes messages;
    // Gives the programming timer a real-time class where the process may not take one.
    const auto systemRealtime = lumora::SystemRealtimeBroker();
    lumora::UiThreadBroker realtime(*systemRealtime);
    lumora::TForm1 form1(dialogs, messages);
    lumora::TForm2 form2(std::move(choice.Adapter),
                         std::make_unique<lumora::TMMTimer>(
                             /*designMode=*/false,
                             [&realtime](const lumora::TimerThreadStart& start) {
                               realtime.TimerThreadStarted(start);
                             }),
                         messages, &form1);
    form1.SetProgrammingWindow(&form2);
    form1.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    ShowStartError(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowStartError(QString());
  }
  return 1;
}
