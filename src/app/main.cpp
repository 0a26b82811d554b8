#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include <QApplication>
#include <QMessageBox>

#include "app/command_line.h"
#include "app/parent_console.h"
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
  std::string language;
  if (const auto exitCode =
          lumora::AnswerCommandLine(argc, argv, std::cout, std::cerr, &language)) {
    return *exitCode;
  }
  lumora::ChooseQtDefaults();
  QApplication application(argc, argv);
  // Lets the desktop match the windows to the installed menu entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("lumora"));
  try {
    // --lang, else LUMORA_LANG, else the user's languages choose the windows' language.
    const char* languageValue = std::getenv("LUMORA_LANG");
    lumora::UseLanguage(lumora::ChooseUiLanguage(language, languageValue ? languageValue : "",
                                                 lumora::SystemUiLanguages()));
    // LUMORA_ADAPTER picks the programming adapter: unset or "usb" for an FTDI chip,
    // "virtual" or "virtual:DIR" for the programmer and controller played in software,
    // "tty:PATH" for a serial device the kernel drives.
    const char* adapterValue = std::getenv("LUMORA_ADAPTER");
    lumora::AdapterChoice choice =
        lumora::ChooseAdapter(adapterValue ? adapterValue : "", lumora::MakeSystemUsbAdapter);
    if (!choice.Adapter) {
      ShowStartError(lumora::TranslatedMessage(choice.Reason, choice.Value));
      return 2;
    }
    lumora::ProgramWindows windows(std::move(choice.Adapter));
    windows.MainWindow().show();
    windows.OfferLeftWork();
    return QApplication::exec();
  } catch (const std::exception& error) {
    ShowStartError(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowStartError(QString());
  }
  return 1;
}
