#pragma once

#include <QDBusConnection>
#include <QString>

#include "app/realtime_broker.h"

namespace lumora {

// The desktop's real-time service (RealtimeKit), which grants an ordinary user's process a
// real-time class for a thread within limits of its own. Used from one thread at a time.
class RealtimeKit final : public RealtimeBroker {
 public:
  // bus is where the service is found: the system bus, or a private one in tests.
  explicit RealtimeKit(QDBusConnection bus);

  // A thread without a real-time class is asked to be made real-time at the timer threads'
  // priority, or the highest the service allows where that is lower. Where the bus or the
  // service is absent, or the service refuses, the thread quietly stays as it is.
  void TimerThreadStarted(const TimerThreadStart& start) override;

 private:
  enum class State { Unasked, Ready, Absent };

  // Reads the service's limits once and keeps the process within them; false from then on
  // where the service cannot be used.
  bool Ready();
  bool ReadLimits();
  // The value of one of the service's integer properties; false where it cannot be read.
  bool ReadProperty(const QString& name, qint64& value);

  QDBusConnection bus_;
  State state_ = State::Unasked;
  int priority_ = 0;
};

}  // namespace lumora
