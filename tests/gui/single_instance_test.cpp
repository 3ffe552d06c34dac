#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "platform/single_instance.h"
#include "sandbox.h"

using vell::platform::SingleInstance;
using Claim = SingleInstance::Claim;

namespace {

QString SocketPath() { return SandboxDir() + QStringLiteral("/run/vell.socket"); }

// What a crashed copy leaves behind: a socket file nobody listens on.
bool LeaveDeadSocket(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name.size() >= static_cast<int>(sizeof(address.sun_path))) return false;
  memcpy(address.sun_path, name.constData(), name.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return bound && QFile::exists(path);
}

// Sends bytes as another start would, then hangs up. A "|" splits them into
// pieces sent a moment apart.
void Send(const QString& path, const QByteArray& bytes) {
  QLocalSocket socket;
  socket.connectToServer(path);
  QVERIFY(socket.waitForConnected(2000));
  for (const QByteArray& piece : bytes.split('|')) {
    socket.write(piece);
    QVERIFY(socket.waitForBytesWritten(2000) || socket.bytesToWrite() == 0);
    QTest::qWait(50);
  }
  socket.disconnectFromServer();
}

// Connections of a client that says nothing, each its own socket.
struct SilentClients {
  SilentClients(const QString& path, int count) {
    for (int i = 0; i < count; ++i) {
      sockets.push_back(std::make_unique<QLocalSocket>());
      sockets.back()->connectToServer(path);
    }
  }
  // How many the server has hung up on (or never took).
  int Closed() const {
    return int(std::count_if(sockets.begin(), sockets.end(),
                             [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; }));
  }
  std::vector<std::unique_ptr<QLocalSocket>> sockets;
};

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(PrepareSandbox());
    QVERIFY(QDir().mkpath(SandboxDir() + QStringLiteral("/run")));
  }

  void laterStartsAskTheRunningCopyToComeForward() {
    SingleInstance running(SocketPath());
    QSignalSpy asked(&running, &SingleInstance::activationRequested);
    QCOMPARE(running.Start(), Claim::kFirst);
    for (int start = 1; start <= 3; ++start) {
      SingleInstance later(SocketPath());
      QCOMPARE(later.Start(), Claim::kAlreadyRunning);
      QTRY_COMPARE(asked.count(), start);
    }
    // Only the user may reach the socket.
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(SocketPath()) & others, QFile::Permissions());
  }

  void theRunningCopyEndingFreesTheName() {
    {
      SingleInstance running(SocketPath());
      QCOMPARE(running.Start(), Claim::kFirst);
    }
    QVERIFY(!QFile::exists(SocketPath()));
    SingleInstance next(SocketPath());
    QCOMPARE(next.Start(), Claim::kFirst);
  }

  void leftoversOfACrashedCopyNeverBlockAStart_data() {
    QTest::addColumn<QString>("leftover");
    QTest::newRow("socket nobody listens on") << "socket";
    QTest::newRow("plain file") << "file";
    QTest::newRow("stale lock and socket") << "lock";
  }
  void leftoversOfACrashedCopyNeverBlockAStart() {
    QFETCH(QString, leftover);
    if (leftover == QLatin1String("file")) {
      QFile file(SocketPath());
      QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
      QVERIFY(LeaveDeadSocket(SocketPath()));
    }
    if (leftover == QLatin1String("lock")) {
      // A lock file whose process is gone.
      QFile lock(SocketPath() + QStringLiteral(".lock"));
      QVERIFY(lock.open(QIODevice::WriteOnly));
      lock.write(QByteArray::number(0x7ffffff0) + "\nvell\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    QElapsedTimer clock;
    clock.start();
    SingleInstance next(SocketPath());
    QSignalSpy asked(&next, &SingleInstance::activationRequested);
    QCOMPARE(next.Start(), Claim::kFirst);
    // A stale lock is seen as such at once, not waited out.
    QVERIFY(clock.elapsed() < 2500);
    QVERIFY(!QFile::exists(SocketPath() + QStringLiteral(".lock")));
    SingleInstance later(SocketPath());
    QCOMPARE(later.Start(), Claim::kAlreadyRunning);
    QTRY_COMPARE(asked.count(), 1);
  }

  void onlyTheActivateMessageCounts_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("activations");
    QTest::newRow("activate") << SingleInstance::kActivateMessage << 1;
    QTest::newRow("activate in pieces") << QByteArray("acti|vate\n") << 1;
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("without line end") << QByteArray("activate") << 0;
    QTest::newRow("other word") << QByteArray("quit\n") << 0;
    QTest::newRow("trailing blank") << QByteArray("activate \n") << 0;
    QTest::newRow("long line") << QByteArray(100000, 'a') + "\n" << 0;
  }
  void onlyTheActivateMessageCounts() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, activations);
    SingleInstance running(SocketPath());
    QSignalSpy asked(&running, &SingleInstance::activationRequested);
    QCOMPARE(running.Start(), Claim::kFirst);
    Send(SocketPath(), bytes);
    // A well-formed start afterwards is still heard: nothing got stuck.
    SingleInstance later(SocketPath());
    QCOMPARE(later.Start(), Claim::kAlreadyRunning);
    QTRY_COMPARE(asked.count(), activations + 1);
    QTest::qWait(50);
    QCOMPARE(asked.count(), activations + 1);
  }

  void silentConnectionsAreClosed() {
    SingleInstance running(SocketPath());
    QCOMPARE(running.Start(), Claim::kFirst);
    SilentClients clients(SocketPath(), 3);
    clients.sockets.front()->write(QByteArray(64, 'a'));
    QTRY_COMPARE_WITH_TIMEOUT(clients.Closed(), 3, 10000);
  }

  void manyHeldConnectionsStillLeaveRoomForAStart() {
    SingleInstance running(SocketPath());
    QSignalSpy asked(&running, &SingleInstance::activationRequested);
    QCOMPARE(running.Start(), Claim::kFirst);
    SilentClients clients(SocketPath(), 200);
    // Only a few are held at a time ...
    QTRY_VERIFY_WITH_TIMEOUT(clients.Closed() >= 200 - 16, 10000);
    // ... and a start now, with those few still open, is heard.
    SingleInstance later(SocketPath());
    QCOMPARE(later.Start(), Claim::kAlreadyRunning);
    QTRY_COMPARE(asked.count(), 1);
  }

  void aClosedServerListensAgain_data() {
    QTest::addColumn<bool>("otherCopyMeanwhile");
    QTest::newRow("alone") << false;
    QTest::newRow("another copy took the name") << true;
  }
  void aClosedServerListensAgain() {
    QFETCH(bool, otherCopyMeanwhile);
    SingleInstance running(SocketPath());
    QSignalSpy asked(&running, &SingleInstance::activationRequested);
    QCOMPARE(running.Start(), Claim::kFirst);
    // What Qt does when accepting a connection fails.
    running.findChild<QLocalServer*>()->close();
    QVERIFY(!QFile::exists(SocketPath()));
    SingleInstance other(SocketPath());
    QSignalSpy otherAsked(&other, &SingleInstance::activationRequested);
    if (otherCopyMeanwhile) {
      QCOMPARE(other.Start(), Claim::kFirst);
      QTest::qWait(2500);  // past the moment the first copy looks again
    } else {
      QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(SocketPath()), 10000);
    }
    SingleInstance later(SocketPath());
    QCOMPARE(later.Start(), Claim::kAlreadyRunning);
    QTRY_COMPARE((otherCopyMeanwhile ? otherAsked : asked).count(), 1);
    QCOMPARE((otherCopyMeanwhile ? asked : otherAsked).count(), 0);
  }

  void withoutAUsableSocketItRunsAlone_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << SandboxDir() + QStringLiteral("/missing/folder/vell.socket");
    QTest::newRow("no runtime folder") << QString();
  }
  void withoutAUsableSocketItRunsAlone() {
    QFETCH(QString, path);
    SingleInstance alone(path);
    QCOMPARE(alone.Start(), Claim::kUnavailable);
  }

  void defaultSocketIsTheUsersOwnInTheRuntimeFolder() {
    const QString runtime = SandboxDir() + QStringLiteral("/run");
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    QCOMPARE(SingleInstance::DefaultSocketPath(QStringLiteral("vell")),
             runtime + QStringLiteral("/vell-%1.socket").arg(getuid()));
    qunsetenv("XDG_RUNTIME_DIR");
  }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
