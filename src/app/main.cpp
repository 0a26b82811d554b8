#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/command_line.h"
#include "app/parent_console.h"
#include "app/program_arguments.h"
#include "app/program_windows.h"
#include "app/qt_defaults.h"
#include "app/translation.h"
#include "programming/adapter_choice.h"
#include "programming/adapters/system_usb_adapter.h"

namespace {

void ShowStartError(const QString& text) {
  QMessageBox::critical(nullptr, QStringLiteral("Lumora"), text);
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version answer without a display; a wrong argument ends here with code 2.
  lumora::UseParentConsole();
  lumora::CommandLineAnswer run;
  if (const auto exitCode = lumora::AnswerCommandLine(lumora::ProgramArguments(argc, argv),
                                                      std::cout, std::cerr, &run)) {
    return *exitCode;
  }
  lumora::ChooseQtDefaults();
  QApplication application(argc, argv);
  // Lets the desktop match the windows to the installed menu entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("lumora"));
  try {
    // --lang, else LUMORA_LANG, else the user's languages choose the windows' language.
    // The virtual controller writes its report in the windows' language.
    const char* languageValue = std::getenv("LUMORA_LANG");
    const lumora::UiLanguage uiLanguage = lumora::ChooseUiLanguage(
        run.Language, languageValue ? languageValue : "", lumora::SystemUiLanguages());
    lumora::UseLanguage(uiLanguage);
    // LUMORA_ADAPTER picks the programming adapter: unset or "usb" for an FTDI chip,
    // "virtual" or "virtual:DIR" for the programmer and controller played in software,
    // "tty:PATH" for a serial device the kernel drives.
    const char* adapterValue = std::getenv("LUMORA_ADAPTER");
    lumora::AdapterChoice choice = lumora::ChooseAdapter(adapterValue ? adapterValue : "",
                                                         lumora::MakeSystemUsbAdapter, uiLanguage);
    if (!choice.Adapter) {
      ShowStartError(lumora::TranslatedMessage(choice.Reason, choice.Value));
      return 2;
    }
    lumora::ProgramWindows windows(std::move(choice.Adapter));
    windows.MainWindow().show();
    windows.OfferLeftWork();
    // The files given open once the window is up, so that a message about one stands over it.
    QTimer::singleShot(0, &windows.MainWindow(), [&windows, &run] {
      windows.MainWindow().OpenGivenFiles({run.Project, run.Sequence});
    });
    return QApplication::exec();
  } catch (const std::exception& error) {
    ShowStartError(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowStartError(QString());
  }
  return 1;
}
