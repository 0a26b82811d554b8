#pragma once

#include <functional>

#include <QObject>

namespace lumora {

// Runs tasks posted from any thread later, in turn, on the thread it lives on, through that
// thread's event queue: never inline. Tasks still queued when it goes are dropped.
class PostedTasks final : public QObject {
 public:
  // Callable from any thread; returns at once.
  void Post(std::function<void()> task);

 protected:
  void customEvent(QEvent* event) override;
};

}  // namespace lumora
