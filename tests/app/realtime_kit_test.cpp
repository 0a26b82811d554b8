// The client of the desktop's real-time service against a stand-in for the service on a
// private peer-to-peer connection (no bus daemon, no system service), and with no bus at all.
#include <sys/resource.h>
#include <unistd.h>

#include <mutex>
#include <utility>
#include <vector>

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "app/realtime_kit.h"

using namespace lumora;

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// Answers on a thread of its own, since the client waits for each answer.
class FakeRealtimeKit : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
  Q_PROPERTY(int MaxRealtimePriority READ MaxRealtimePriority)
  Q_PROPERTY(qlonglong RTTimeUSecMax READ RTTimeUSecMax)

 public:
  int maxPriority = 20;
  bool answers = true;

  int MaxRealtimePriority() const { return maxPriority; }
  qlonglong RTTimeUSecMax() const { return 200000; }
  std::vector<std::pair<qulonglong, uint>> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 public slots:
  void MakeThreadRealtime(qulonglong thread, uint priority) {
    std::lock_guard lock(mutex_);
    requests_.emplace_back(thread, priority);
    if (!answers) setDelayedReply(true);  // and never replies
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<qulonglong, uint>> requests_;
};

}  // namespace

class RealtimeKitTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void asksForThreadsWithoutARealTimeClassWithinTheServicesLimits();
  void aServiceThatStopsAnsweringIsNotAskedAgain();
  void withoutABusNothingIsAskedAndNothingSaid();

 private:
  // A connection to the stand-in, once it serves there.
  QDBusConnection ConnectClient();

  QTemporaryDir folder_;
  QThread serviceThread_;
  std::unique_ptr<QDBusServer> server_;
  std::unique_ptr<FakeRealtimeKit> service_;
  bool registered_ = false;
  int clients_ = 0;
};

void RealtimeKitTest::init() {
  service_ = std::make_unique<FakeRealtimeKit>();
  server_ = std::make_unique<QDBusServer>(QStringLiteral("unix:dir=") + folder_.path());
  QVERIFY(server_->isConnected());
  server_->setAnonymousAuthenticationAllowed(true);
  registered_ = false;
  connect(server_.get(), &QDBusServer::newConnection, this, [this](QDBusConnection connection) {
    registered_ = connection.registerObject(
        kPath, service_.get(),
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
  });
  serviceThread_.start();
  service_->moveToThread(&serviceThread_);
}

void RealtimeKitTest::cleanup() {
  serviceThread_.quit();
  serviceThread_.wait();
  server_.reset();
  service_.reset();
}

QDBusConnection RealtimeKitTest::ConnectClient() {
  QDBusConnection client =
      QDBusConnection::connectToPeer(server_->address(), QStringLiteral("kit%1").arg(++clients_));
  // The caller checks registered_.
  static_cast<void>(QTest::qWaitFor([this] { return registered_; }));
  return client;
}

void RealtimeKitTest::asksForThreadsWithoutARealTimeClassWithinTheServicesLimits() {
  struct Case {
    int maxPriority;
    uint asked;
  };
  const QDBusConnection client = ConnectClient();
  QVERIFY(registered_);
  std::vector<std::pair<qulonglong, uint>> expected;
  for (const Case c : {Case{20, 10}, Case{5, 5}}) {
    service_->maxPriority = c.maxPriority;
    RealtimeKit kit(client);                                // reads the limits anew
    kit.TimerThreadStarted({gettid(), /*realTime=*/true});  // has one already
    kit.TimerThreadStarted({gettid(), false});
    kit.TimerThreadStarted({4242, false});
    expected.emplace_back(gettid(), c.asked);
    expected.emplace_back(4242, c.asked);
    QCOMPARE(service_->Requests(), expected);
  }
  // The service serves only a process whose real-time threads must block within its bound.
  rlimit limit{};
  QCOMPARE(getrlimit(RLIMIT_RTTIME, &limit), 0);
  QVERIFY(limit.rlim_cur <= 200000);
  QVERIFY(limit.rlim_max <= 200000);
}

void RealtimeKitTest::aServiceThatStopsAnsweringIsNotAskedAgain() {
  service_->answers = false;
  const QDBusConnection client = ConnectClient();
  QVERIFY(registered_);
  RealtimeKit kit(client);
  kit.TimerThreadStarted({gettid(), false});  // waits for the answer once
  kit.TimerThreadStarted({gettid(), false});
  QCOMPARE(service_->Requests().size(), 1u);
}

void RealtimeKitTest::withoutABusNothingIsAskedAndNothingSaid() {
  QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
  RealtimeKit kit(QDBusConnection::connectToBus(
      QStringLiteral("unix:path=") + folder_.filePath(QStringLiteral("no-bus")),
      QStringLiteral("absent")));
  kit.TimerThreadStarted({gettid(), false});
  kit.TimerThreadStarted({gettid(), false});
  QVERIFY(service_->Requests().empty());
}

QTEST_GUILESS_MAIN(RealtimeKitTest)
#include "realtime_kit_test.moc"
