// The client of the desktop's real-time service against a stand-in for the service on a
// private bus of the test's own, and with no bus at all. The process gives up its own right
// to a real-time class first, as an ordinary user is without it, so that the programming
// window's timer threads must ask the service.
#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "app/form2.h"
#include "app/realtime_kit.h"
#include "app/ui_thread_broker.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "timer/mm_timer.h"

using namespace lumora;

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
constexpr qlonglong kRtTimeMaxUs = 200000;

using ThreadRequest = std::pair<qulonglong, uint>;

// Takes from the process the right to give its threads a real-time class themselves. Threads
// started from now on inherit the main thread's capabilities.
bool GiveUpRealtimeRights() {
  const rlimit none{0, 0};
  if (setrlimit(RLIMIT_RTPRIO, &none) != 0) return false;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3]{};
  if (syscall(SYS_capget, &header, caps) != 0) return false;
  const unsigned niceBit = 1U << (CAP_SYS_NICE % 32);
  __user_cap_data_struct& word = caps[CAP_SYS_NICE / 32];
  word.effective &= ~niceBit;
  word.permitted &= ~niceBit;
  word.inheritable &= ~niceBit;
  return syscall(SYS_capset, &header, caps) == 0;
}

// Answers at once, or holds every question until released. The bus may hand it questions on
// a thread of its own.
class FakeRealtimeKit final : public QDBusVirtualObject {
 public:
  explicit FakeRealtimeKit(int maxPriority) : maxPriority_(maxPriority) {}

  void Hold() {
    std::lock_guard lock(mutex_);
    holding_ = true;
  }
  // Answers the questions held and answers at once from now on.
  void Release() {
    std::lock_guard lock(mutex_);
    holding_ = false;
    for (const auto& [question, connection] : std::exchange(held_, {}))
      Answer(question, connection);
  }
  std::size_t Held() {
    std::lock_guard lock(mutex_);
    return held_.size();
  }
  // The members called, in order: "Get" or "MakeThreadRealtime".
  QStringList Members() {
    std::lock_guard lock(mutex_);
    return members_;
  }
  std::vector<ThreadRequest> ThreadRequests() {
    std::lock_guard lock(mutex_);
    return threadRequests_;
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& question, const QDBusConnection& connection) override {
    std::lock_guard lock(mutex_);
    members_ << question.member();
    if (question.member() == QStringLiteral("MakeThreadRealtime")) {
      threadRequests_.emplace_back(question.arguments().value(0).toULongLong(),
                                   question.arguments().value(1).toUInt());
    }
    if (holding_) {
      held_.emplace_back(question, connection);
    } else {
      Answer(question, connection);
    }
    return true;
  }

 private:
  void Answer(const QDBusMessage& question, const QDBusConnection& connection) const {
    const QString property = question.arguments().value(1).toString();
    QDBusMessage answer;
    if (question.member() == QStringLiteral("MakeThreadRealtime")) {
      answer = question.createReply();
    } else if (property == QStringLiteral("MaxRealtimePriority")) {
      answer = question.createReply(QVariant::fromValue(QDBusVariant(maxPriority_)));
    } else if (property == QStringLiteral("RTTimeUSecMax")) {
      answer = question.createReply(QVariant::fromValue(QDBusVariant(kRtTimeMaxUs)));
    } else {
      answer = question.createErrorReply(QDBusError::UnknownProperty, property);
    }
    connection.send(answer);
  }

  std::mutex mutex_;
  const int maxPriority_;
  bool holding_ = false;
  QStringList members_;
  std::vector<ThreadRequest> threadRequests_;
  std::vector<std::pair<QDBusMessage, QDBusConnection>> held_;
};

// Counts the ticks of the ticker it passes them on from.
class CountingTicker final : public Ticker {
 public:
  explicit CountingTicker(std::unique_ptr<Ticker> ticker) : ticker_(std::move(ticker)) {}

  void Start(int periodMs, Tick tick) override {
    ticker_->Start(periodMs, [this, tick = std::move(tick)] {
      ++ticks_;
      tick();
    });
  }
  void Stop() override { ticker_->Stop(); }
  int Ticks() const { return ticks_; }

 private:
  std::unique_ptr<Ticker> ticker_;
  std::atomic<int> ticks_ = 0;
};

// The timer threads started, as each tells of itself on its own thread.
class ThreadStarts {
 public:
  void Add(const TimerThreadStart& start) {
    std::lock_guard lock(mutex_);
    starts_.push_back(start);
  }
  std::vector<TimerThreadStart> All() {
    std::lock_guard lock(mutex_);
    return starts_;
  }

 private:
  std::mutex mutex_;
  std::vector<TimerThreadStart> starts_;
};

int SchedulingClass(pid_t threadId) {
  return sched_getscheduler(threadId) & ~SCHED_RESET_ON_FORK;
}

// The timer threads of this process that are running.
std::vector<pid_t> TimerThreads() {
  std::vector<pid_t> threads;
  for (const QString& task :
       QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "mmtimer") {
      threads.push_back(task.toInt());
    }
  }
  return threads;
}

}  // namespace

class RealtimeKitTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void cleanupTestCase();

  void asksForThreadsWithoutARealTimeClassWithinTheServicesLimits();
  void theWindowAnswersClicksAndTheTimerTicksWhileTheServiceHoldsItsAnswer();
  void aServiceThatGoesAwayIsNotAskedAgain();
  void withoutTheServiceOrABusNothingIsAskedAndNothingSaid();
  void anAnswerThatComesAfterTheKitIsGoneGoesNowhere();

 private:
  // The stand-in serves on the private bus under the service's name.
  void Serve(int maxPriority);
  // The stand-in goes, and with it the connection its held questions came on.
  void StopServing();
  QDBusConnection Client() { return QDBusConnection(clientName_); }

  QProcess bus_;
  QString address_;
  int connections_ = 0;
  QString serviceName_;
  QString clientName_;
  std::unique_ptr<FakeRealtimeKit> service_;
};

void RealtimeKitTest::initTestCase() {
  QVERIFY(GiveUpRealtimeRights());
  bus_.start(
      QStringLiteral("dbus-daemon"),
      {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
  QVERIFY2(bus_.waitForStarted(), "dbus-daemon (package dbus) does not start");
  QTRY_VERIFY(bus_.canReadLine());
  address_ = QString::fromUtf8(bus_.readLine()).trimmed();
  QVERIFY(!address_.isEmpty());
}

void RealtimeKitTest::cleanupTestCase() {
  bus_.terminate();
  QVERIFY(bus_.waitForFinished());
}

void RealtimeKitTest::init() {
  clientName_ = QStringLiteral("client%1").arg(++connections_);
  QVERIFY(QDBusConnection::connectToBus(address_, clientName_).isConnected());
}

void RealtimeKitTest::cleanup() {
  QDBusConnection::disconnectFromBus(clientName_);
  StopServing();
}

void RealtimeKitTest::StopServing() {
  QDBusConnection(serviceName_).unregisterObject(kPath);
  QDBusConnection::disconnectFromBus(serviceName_);
  service_.reset();
}

void RealtimeKitTest::Serve(int maxPriority) {
  StopServing();
  service_ = std::make_unique<FakeRealtimeKit>(maxPriority);
  serviceName_ = QStringLiteral("service%1").arg(++connections_);
  QDBusConnection connection = QDBusConnection::connectToBus(address_, serviceName_);
  QVERIFY(connection.registerVirtualObject(kPath, service_.get()));
  QVERIFY(connection.registerService(kService));
}

void RealtimeKitTest::asksForThreadsWithoutARealTimeClassWithinTheServicesLimits() {
  struct Case {
    int maxPriority;
    uint asked;
  };
  for (const Case c : {Case{20, 10}, Case{5, 5}}) {
    Serve(c.maxPriority);
    RealtimeKit kit(Client());                              // reads the limits anew
    kit.TimerThreadStarted({gettid(), /*realTime=*/true});  // has one already
    kit.TimerThreadStarted({gettid(), false});              // while the limits are read
    QVERIFY(kit.Waiting());
    QTRY_COMPARE(service_->ThreadRequests().size(), 1u);
    kit.TimerThreadStarted({4242, false});  // once they are known
    const std::vector<ThreadRequest> expected{{gettid(), c.asked}, {4242, c.asked}};
    QTRY_COMPARE(service_->ThreadRequests(), expected);
    QTRY_VERIFY(!kit.Waiting());
    QCOMPARE(service_->Members(), QStringList({QStringLiteral("Get"), QStringLiteral("Get"),
                                               QStringLiteral("MakeThreadRealtime"),
                                               QStringLiteral("MakeThreadRealtime")}));
  }
  // The service serves only a process whose real-time threads must block within its bound.
  rlimit limit{};
  QCOMPARE(getrlimit(RLIMIT_RTTIME, &limit), 0);
  QVERIFY(limit.rlim_cur <= kRtTimeMaxUs);
  QVERIFY(limit.rlim_max <= kRtTimeMaxUs);
}

// The programming window asks for every timer thread it starts: as it is made, as it opens and
// at every programmer switch.
void RealtimeKitTest::theWindowAnswersClicksAndTheTimerTicksWhileTheServiceHoldsItsAnswer() {
  Serve(20);
  service_->Hold();
  RealtimeKit kit(Client());
  UiThreadBroker fromUiThread(kit);
  ThreadStarts starts;
  testing::FakeDialogs dialogs;
  auto timer = std::make_unique<CountingTicker>(
      std::make_unique<TMMTimer>(/*designMode=*/false, [&](const TimerThreadStart& start) {
        starts.Add(start);
        fromUiThread.TimerThreadStarted(start);
      }));
  CountingTicker& ticker = *timer;
  TForm2 form(std::make_unique<VirtualAdapter>(), std::move(timer), dialogs);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTRY_COMPARE(service_->Held(), 1u);  // the first question, of the limits

  const auto clickProgrammer = [&](const char* radio, ProgrammerKind kind) {
    const std::size_t threadsBefore = starts.All().size();
    auto* button = form.findChild<QAbstractButton*>(QString::fromLatin1(radio));
    QTest::mouseClick(&form, Qt::LeftButton, {}, button->mapTo(&form, QPoint(6, 8)));
    QVERIFY(button->isChecked());
    QCOMPARE(form.Model().Settings().Kind(), kind);
    QTRY_VERIFY(starts.All().size() > threadsBefore);  // the switch starts a timer thread
  };
  clickProgrammer("RadioButton6", ProgrammerKind::StandardProgrammer);
  clickProgrammer("RadioButton5", ProgrammerKind::UsbProgrammer);
  const int ticksBefore = ticker.Ticks();
  QTRY_VERIFY(ticker.Ticks() > ticksBefore + 3);
  // The timer's one thread, the latest told of, in the ordinary class.
  QTRY_COMPARE(TimerThreads().size(), 1u);
  const pid_t running = TimerThreads().front();
  QCOMPARE(starts.All().back().threadId, running);
  for (const TimerThreadStart& start : starts.All()) QVERIFY(!start.realTime);
  QCOMPARE(SchedulingClass(running), SCHED_OTHER);
  QVERIFY(kit.Waiting());
  QCOMPARE(service_->Held(), 1u);  // nothing more asked before the limits are known

  service_->Release();
  // Every thread told of is asked for, the running one among them.
  QTRY_COMPARE(service_->ThreadRequests().size(), starts.All().size());
  QVERIFY(std::ranges::count(service_->ThreadRequests(), ThreadRequest(running, 10)) == 1);
  QVERIFY(dialogs.errors.empty());
}

void RealtimeKitTest::aServiceThatGoesAwayIsNotAskedAgain() {
  Serve(20);
  RealtimeKit kit(Client());
  kit.TimerThreadStarted({4242, false});
  QTRY_COMPARE(service_->ThreadRequests().size(), 1u);
  QTRY_VERIFY(!kit.Waiting());
  service_->Hold();
  kit.TimerThreadStarted({4243, false});
  QTRY_COMPARE(service_->Held(), 1u);
  StopServing();  // the bus answers for it: no reply will come
  QTRY_VERIFY(!kit.Waiting());

  Serve(20);
  kit.TimerThreadStarted({4244, false});
  QVERIFY(!kit.Waiting());
  // A new kit's question arrives after any the old one might have sent.
  RealtimeKit newKit(Client());
  newKit.TimerThreadStarted({4245, false});
  QTRY_VERIFY(!service_->ThreadRequests().empty());
  QCOMPARE(service_->ThreadRequests(), std::vector<ThreadRequest>({{4245, 10}}));
}

void RealtimeKitTest::withoutTheServiceOrABusNothingIsAskedAndNothingSaid() {
  QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
  QTemporaryDir folder;
  const QDBusConnection noBus = QDBusConnection::connectToBus(
      QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("no-bus")),
      QStringLiteral("absent"));
  for (const QDBusConnection& bus : {Client(), noBus}) {
    RealtimeKit kit(bus);
    kit.TimerThreadStarted({4242, false});
    QTRY_VERIFY(!kit.Waiting());
    kit.TimerThreadStarted({4243, false});
    QVERIFY(!kit.Waiting());
  }
}

void RealtimeKitTest::anAnswerThatComesAfterTheKitIsGoneGoesNowhere() {
  Serve(20);
  service_->Hold();
  {
    RealtimeKit kit(Client());
    kit.TimerThreadStarted({4242, false});
    QTRY_COMPARE(service_->Held(), 1u);
  }
  service_->Release();
  // Answers come in turn: once the later kit has its answer, the earlier one's has come too.
  RealtimeKit laterKit(Client());
  laterKit.TimerThreadStarted({4243, false});
  QTRY_VERIFY(!laterKit.Waiting());
  QCOMPARE(service_->ThreadRequests(), std::vector<ThreadRequest>({{4243, 10}}));
}

QTEST_MAIN(RealtimeKitTest)
#include "realtime_kit_test.moc"
