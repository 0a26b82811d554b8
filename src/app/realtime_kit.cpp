#include "app/realtime_kit.h"

#include <sys/resource.h>

#include <algorithm>
#include <utility>

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QVariant>

namespace lumora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
// A service that does not answer within this is taken as absent. Nothing waits for the answer
// meanwhile, so it leaves time enough for the bus to start the service and for the authority
// behind the service to decide.
constexpr int kCallTimeoutMs = 25000;

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
  if (start.realTime) return;
  switch (state_) {
    case State::Unasked:
      waitingThreads_.push_back(start.threadId);
      ReadLimits();
      break;
    case State::Reading:
      waitingThreads_.push_back(start.threadId);
      break;
    case State::Ready:
      AskForRealtime(start.threadId);
      break;
    case State::Absent:
      break;
  }
}

void RealtimeKit::ReadLimits() {
  if (!bus_.isConnected()) {
    GiveUp();
    return;
  }
  state_ = State::Reading;
  ReadProperty(QStringLiteral("MaxRealtimePriority"), [this](qint64 maxPriority) {
    ReadProperty(QStringLiteral("RTTimeUSecMax"),
                 [this, maxPriority](qint64 rtTimeMaxUs) { LimitsRead(maxPriority, rtTimeMaxUs); });
  });
}

void RealtimeKit::LimitsRead(qint64 maxPriority, qint64 rtTimeMaxUs) {
  if (maxPriority < 1 || !KeepRealtimeRunsWithin(rtTimeMaxUs)) {
    GiveUp();
    return;
  }
  priority_ = static_cast<int>(std::min<qint64>(kTimerThreadPriority, maxPriority));
  state_ = State::Ready;
  for (const pid_t threadId : std::exchange(waitingThreads_, {})) AskForRealtime(threadId);
}

void RealtimeKit::ReadProperty(const QString& name, std::function<void(qint64)> then) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kService << name;
  Call(get, [this, then = std::move(then)](const QDBusMessage& reply) {
    bool ok = false;
    const qint64 value =
        reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            ? qvariant_cast<QDBusVariant>(reply.arguments().first()).variant().toLongLong(&ok)
            : 0;
    if (ok) {
      then(value);
    } else {
      GiveUp();
    }
  });
}

void RealtimeKit::AskForRealtime(pid_t threadId) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                     QStringLiteral("MakeThreadRealtime"));
  call << QVariant::fromValue(static_cast<quint64>(threadId))
       << QVariant::fromValue(static_cast<quint32>(priority_));
  Call(call, [this](const QDBusMessage& reply) {
    // A service that went away or stopped answering is not asked again; a refusal (too many
    // requests of late, say) leaves only this thread in the ordinary class.
    switch (QDBusError(reply).type()) {
      case QDBusError::NoReply:
      case QDBusError::Timeout:
      case QDBusError::TimedOut:
      case QDBusError::ServiceUnknown:
      case QDBusError::Disconnected:
        GiveUp();
        break;
      default:
        break;
    }
  });
}

void RealtimeKit::GiveUp() {
  state_ = State::Absent;
  waitingThreads_.clear();
}

void RealtimeKit::Call(const QDBusMessage& call,
                       std::function<void(const QDBusMessage&)> answered) {
  ++unanswered_;
  // The watcher reports even a call that failed at once only from the event loop, never
  // from within this function.
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), &calls_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &calls_,
                   [this, watcher, answered = std::move(answered)] {
                     --unanswered_;
                     watcher->deleteLater();
                     answered(watcher->reply());
                   });
}

}  // namespace lumora
