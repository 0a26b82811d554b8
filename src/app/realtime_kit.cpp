#include "app/realtime_kit.h"

#include <sys/resource.h>

#include <algorithm>
#include <utility>

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace lumora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
// A service that does not answer within this is taken as absent, so that the window waits
// for it once at most. Time enough for the bus to start the service on its first call.
constexpr int kCallTimeoutMs = 1000;

// The service serves only a process whose real-time threads must block within its bound of
// processor time, and refuses any other.
bool KeepRealtimeRunsWithin(qint64 boundUs) {
  if (boundUs <= 0) return false;
  rlimit limit{};
  if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return false;
  const auto bound = static_cast<rlim_t>(boundUs);
  limit.rlim_cur = std::min(limit.rlim_cur, bound);
  limit.rlim_max = std::min(limit.rlim_max, bound);
  return setrlimit(RLIMIT_RTTIME, &limit) == 0;
}

}  // namespace

RealtimeKit::RealtimeKit(QDBusConnection bus) : bus_(std::move(bus)) {}

void RealtimeKit::TimerThreadStarted(const TimerThreadStart& start) {
  if (start.realTime || !Ready()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                     QStringLiteral("MakeThreadRealtime"));
  call << QVariant::fromValue(static_cast<quint64>(start.threadId))
       << QVariant::fromValue(static_cast<quint32>(priority_));
  const QDBusError answer(bus_.call(call, QDBus::Block, kCallTimeoutMs));
  // A service that went away or stopped answering is not asked again; a refusal (too many
  // requests of late, say) leaves only this thread in the ordinary class.
  switch (answer.type()) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
      state_ = State::Absent;
      break;
    default:
      break;
  }
}

bool RealtimeKit::Ready() {
  if (state_ == State::Unasked) state_ = ReadLimits() ? State::Ready : State::Absent;
  return state_ == State::Ready;
}

bool RealtimeKit::ReadLimits() {
  if (!bus_.isConnected()) return false;
  qint64 maxPriority = 0;
  qint64 rtTimeMaxUs = 0;
  if (!ReadProperty(QStringLiteral("MaxRealtimePriority"), maxPriority) || maxPriority < 1 ||
      !ReadProperty(QStringLiteral("RTTimeUSecMax"), rtTimeMaxUs)) {
    return false;
  }
  priority_ = static_cast<int>(std::min<qint64>(kTimerThreadPriority, maxPriority));
  return KeepRealtimeRunsWithin(rtTimeMaxUs);
}

bool RealtimeKit::ReadProperty(const QString& name, qint64& value) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kService << name;
  const QDBusMessage reply = bus_.call(get, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  bool ok = false;
  value = qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toLongLong(&ok);
  return ok;
}

}  // namespace lumora
