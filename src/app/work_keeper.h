#pragma once

#include <chrono>
#include <string>

#include <QObject>
#include <QTimer>

#include "files/recovery_folder.h"
#include "main_window/work_questions.h"
#include "main_window/work_recovery.h"

class QSessionManager;

namespace lumora {

class TForm1;

// The desktop session's end as the program sees it: the session manager on Linux, Windows'
// log-off and shutdown.
class SessionEnd {
 public:
  virtual ~SessionEnd() = default;
  // Whether the program may ask the user now.
  virtual bool AllowsInteraction() = 0;
  // Keeps the session from ending.
  virtual void Cancel() = 0;
};

// Keeps the designer's work in the main window from being lost. A close (the window's close
// button, Alt+F4, the window manager) and the end of the desktop session ask the close
// question while there are changes in no file; and a recovery copy of the work is written a
// few seconds after a change, looked for on the window's beat, so that nothing wakes the
// program while nothing changes.
class WorkKeeper : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kCopyDelay{3000};

  // recoveryFolder: UTF-8; made at the first copy.
  WorkKeeper(TForm1& window, const std::string& recoveryFolder, CloseQuestion& question,
             std::chrono::milliseconds copyDelay = kCopyDelay);
  // A copy of the last changes stays for the next start when the program ends without the
  // close question (as at a session's end that allows none).
  ~WorkKeeper() override;

  // Once the window shows at the start: the offer of work a Lumora that is gone left unsaved.
  void OfferLeftWork(RecoveryQuestions& questions);
  // The session is ending: where it lets the program ask, the close question, whose cancel
  // keeps the session going; otherwise the copy is written at once, and the session's quit
  // then closes the window keeping it for the next start.
  void SessionEnding(SessionEnd& session);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Beat();

  TForm1& window_;
  CloseQuestion& question_;
  RecoveryFolder folder_;
  WorkRecovery recovery_;
  QTimer copyTimer_{this};
  // The session ended without a question and the copy holds the work; then the session's quit.
  bool keptForSession_ = false;
  bool sessionQuits_ = false;
};

}  // namespace lumora
