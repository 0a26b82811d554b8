#include "app/work_keeper.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>

#include "app/form1.h"
#include "main_window/closing.h"

namespace lumora {

namespace {

class QtSessionEnd : public SessionEnd {
 public:
  explicit QtSessionEnd(QSessionManager& manager) : manager_(manager) {}
  bool AllowsInteraction() override { return manager_.allowsInteraction(); }
  void Cancel() override { manager_.cancel(); }

 private:
  QSessionManager& manager_;
};

}  // namespace

WorkKeeper::WorkKeeper(TForm1& window, const std::string& recoveryFolder, CloseQuestion& question,
                       std::chrono::milliseconds copyDelay)
    : window_(window),
      question_(question),
      folder_(recoveryFolder),
      recovery_(window.Model(), folder_) {
  copyTimer_.setObjectName(QStringLiteral("RecoveryCopyTimer"));
  copyTimer_.setSingleShot(true);
  copyTimer_.setInterval(copyDelay);
  connect(&copyTimer_, &QTimer::timeout, this, [this] { recovery_.Keep(); });
  connect(&window.BeatTimer(), &QTimer::timeout, this, [this] { Beat(); });
  // The application's filter sees the window's close and the application's quit alike.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    QtSessionEnd session(manager);
    SessionEnding(session);
    manager.release();
  });
}

WorkKeeper::~WorkKeeper() {
  if (recovery_.Notice()) recovery_.Keep();
}

void WorkKeeper::OfferLeftWork(RecoveryQuestions& questions) {
  recovery_.OfferLeftWork(questions);
}

void WorkKeeper::Beat() {
  if (!recovery_.Notice()) {
    copyTimer_.stop();
  } else if (!copyTimer_.isActive()) {
    // Armed by the first change the copy lacks, not put off by the ones after it: the copy is
    // at most a few seconds behind, however long the changes go on.
    copyTimer_.start();
  }
}

void WorkKeeper::SessionEnding(SessionEnd& session) {
  if (!window_.Model().Unsaved().Any()) return;
  if (session.AllowsInteraction()) {
    if (!MayClose(window_.Model(), question_)) session.Cancel();
    Beat();
    return;
  }
  recovery_.Keep();
  keptForSession_ = true;
}

bool WorkKeeper::eventFilter(QObject* watched, QEvent* event) {
  // After a session's end without a question, the session quits the application, closing the
  // window on the way, with the copy kept; a close by the user before that still asks.
  if (watched == qApp && event->type() == QEvent::Quit && keptForSession_) sessionQuits_ = true;
  if (watched != &window_ || event->type() != QEvent::Close || sessionQuits_) return false;
  if (MayClose(window_.Model(), question_)) {
    Beat();  // a copy the work no longer needs goes now
    return false;
  }
  event->ignore();
  return true;
}

}  // namespace lumora
