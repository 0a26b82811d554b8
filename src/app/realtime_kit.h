#pragma once

#include <sys/types.h>

#include <functional>
#include <vector>

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include "app/realtime_broker.h"

class QDBusMessage;

namespace lumora {

// The desktop's real-time service (RealtimeKit), which grants an ordinary user's process a
// real-time class for a thread within limits of its own. Every question to the service is
// sent without waiting for its answer, which comes later through the event loop of the thread
// the kit lives on: a service slow to answer never holds that thread back. Used from that
// thread only.
class RealtimeKit final : public RealtimeBroker {
 public:
  // bus is where the service is found: the system bus, or a private one in tests.
  explicit RealtimeKit(QDBusConnection bus);

  // A thread without a real-time class is asked to be made real-time at the timer threads'
  // priority, or the highest the service allows where that is lower. Where the bus or the
  // service is absent, or the service refuses, the thread quietly stays as it is. Returns at
  // once; the thread runs in the ordinary class until the service has answered.
  void TimerThreadStarted(const TimerThreadStart& start) override;

  // Whether a question is still waiting for the service's answer.
  bool Waiting() const { return unanswered_ > 0; }

 private:
  enum class State { Unasked, Reading, Ready, Absent };

  // Reads the service's limits once, then asks for the threads that started meanwhile.
  void ReadLimits();
  void LimitsRead(qint64 maxPriority, qint64 rtTimeMaxUs);
  // Reads one of the service's integer properties; then runs with its value, or sets the
  // service absent where it cannot be read.
  void ReadProperty(const QString& name, std::function<void(qint64)> then);
  void AskForRealtime(pid_t threadId);
  // The service cannot be used: it is not asked again.
  void GiveUp();
  // Sends call; answered runs with the reply once it comes, unless the kit is gone by then.
  void Call(const QDBusMessage& call, std::function<void(const QDBusMessage&)> answered);

  QDBusConnection bus_;
  State state_ = State::Unasked;
  int priority_ = 0;
  // Threads that started while the limits were being read.
  std::vector<pid_t> waitingThreads_;
  int unanswered_ = 0;
  // Owns the calls in flight: answers that arrive after the kit is gone go nowhere.
  QObject calls_;
};

}  // namespace lumora
