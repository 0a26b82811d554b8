#pragma once

#include <memory>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_dialogs.h"
#include "app/qt_work_questions.h"
#include "app/realtime_broker.h"
#include "app/ui_thread_broker.h"
#include "app/user_file_dialogs.h"
#include "app/work_keeper.h"
#include "programming/adapters/usb_adapter.h"

namespace lumora {

// The program's windows as a user starts them: the main window, and the programming window
// with its timer, whose threads the desktop's real-time service may raise. The programming
// window and the link to that service are made when "Wyślij do sterownika" first needs them,
// so that the start neither builds nor keeps what it does not show. Made on the user-interface
// thread once the application exists.
class ProgramWindows {
 public:
  explicit ProgramWindows(std::unique_ptr<UsbAdapter> adapter);

  TForm1& MainWindow() { return form1_; }
  // Made at the first call.
  TForm2& ProgrammingWindow();
  // Once the main window shows: the offer of work a Lumora that is gone left unsaved.
  void OfferLeftWork();

 private:
  // Kept for the programming window until it is made.
  std::unique_ptr<UsbAdapter> adapter_;
  UserFileDialogs files_;
  QtMessageBoxes messages_;
  // Gives the programming timer a real-time class where the process may not take one; made
  // with the programming window, so that the start does not connect to the system bus.
  std::unique_ptr<RealtimeBroker> systemRealtime_;
  std::unique_ptr<UiThreadBroker> realtime_;
  TForm1 form1_;
  // The close question and the recovery copy in the user's state folder.
  QtCloseQuestion closeQuestion_{&form1_};
  WorkKeeper workKeeper_;
  // A child of the main window, so made after it and gone before it.
  std::unique_ptr<TForm2> form2_;
};

}  // namespace lumora
