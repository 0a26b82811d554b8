#include "app/posted_tasks.h"

#include <QCoreApplication>
#include <QEvent>

#include "app/tsan_handoff.h"

namespace lumora {

namespace {

// A posted task, made on the posting thread and run or dropped on the receiving one. The
// event itself is what is handed over, so whichever way it ends, the receiver takes it over
// first.
class TaskEvent final : public QEvent {
 public:
  explicit TaskEvent(std::function<void()> task) : QEvent(QEvent::User), task_(std::move(task)) {}
  ~TaskEvent() override { TakeOver(this); }

  void Run() { task_(); }

 private:
  std::function<void()> task_;
};

}  // namespace

void PostedTasks::Post(std::function<void()> task) {
  auto* event = new TaskEvent(std::move(task));
  HandOff(event);
  QCoreApplication::postEvent(this, event);  // takes the event
}

void PostedTasks::customEvent(QEvent* event) {
  TakeOver(event);  // before even its type is read
  if (event->type() == QEvent::User) static_cast<TaskEvent*>(event)->Run();
}

}  // namespace lumora
