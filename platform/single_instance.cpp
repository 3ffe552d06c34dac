#include "platform/single_instance.h"

#include <unistd.h>

#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <utility>

namespace vell::platform {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
// Two starts at the same moment take turns; a lock left by a crashed start
// is noticed as stale by its dead process id.
constexpr int kLockTimeoutMs = 3000;
// A message longer than this is not ours: the connection is dropped.
constexpr int kMaxMessageBytes = 64;
// A later start sends its message at once; a connection still silent after
// this long only holds a file descriptor.
constexpr int kMessageTimeoutMs = 1000;
// Connections open at one time. A client that holds more only pushes out
// its own older ones, and the server never runs out of descriptors.
constexpr int kMaxClients = 16;
// How often a server that stopped listening (Qt closes it when accepting a
// connection fails) is noticed and started again.
constexpr int kWatchIntervalMs = 1000;

void Drop(QLocalSocket* socket) {
  socket->abort();
  socket->deleteLater();
}

}  // namespace

const QByteArray SingleInstance::kActivateMessage = QByteArrayLiteral("activate\n");

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), server_(this) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  watch_.setInterval(kWatchIntervalMs);
  connect(&watch_, &QTimer::timeout, this, &SingleInstance::ListenAgainIfClosed);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultSocketPath(const QString& program) {
  // No shared folder such as /tmp instead: another user could listen there first.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return {};
  return folder + QLatin1Char('/') + program + QLatin1Char('-') + QString::number(getuid()) + QStringLiteral(".socket");
}

SingleInstance::Claim SingleInstance::Start() {
  if (socketPath_.isEmpty()) return Claim::kUnavailable;
  QLockFile lock(socketPath_ + QStringLiteral(".lock"));
  // Without the lock the race it guards against is merely possible: go on.
  lock.tryLock(kLockTimeoutMs);
  switch (AskRunningCopy()) {
    case Handover::kDone: return Claim::kAlreadyRunning;
    case Handover::kNoAnswer:
      // Something listens but does not take the message: never take its
      // socket away from a live copy.
      return Claim::kUnavailable;
    case Handover::kNobodyThere: break;
  }
  if (!Listen()) return Claim::kUnavailable;
  watch_.start();
  return Claim::kFirst;
}

SingleInstance::Handover SingleInstance::AskRunningCopy() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(kConnectTimeoutMs)) {
    return socket.error() == QLocalSocket::SocketTimeoutError ? Handover::kNoAnswer : Handover::kNobodyThere;
  }
  socket.write(kActivateMessage);
  const bool sent = socket.waitForBytesWritten(kWriteTimeoutMs) || socket.bytesToWrite() == 0;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWriteTimeoutMs);
  return sent ? Handover::kDone : Handover::kNoAnswer;
}

bool SingleInstance::Listen() {
  // Nobody answered: whatever is at the path is a crashed copy's leftover.
  QLocalServer::removeServer(socketPath_);
  return server_.listen(socketPath_);
}

void SingleInstance::ListenAgainIfClosed() {
  if (server_.isListening()) return;
  // While the name was free another copy may have taken it: leave it that copy's.
  QLocalSocket probe;
  probe.connectToServer(socketPath_);
  if (probe.waitForConnected(kConnectTimeoutMs)) {
    probe.abort();
    watch_.stop();
    return;
  }
  Listen();
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    clients_.removeIf([](const QPointer<QLocalSocket>& client) { return client.isNull(); });
    while (clients_.size() >= kMaxClients) Drop(clients_.takeFirst());
    clients_ << socket;
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessage(socket); });
    QTimer::singleShot(kMessageTimeoutMs, socket, [socket] { Drop(socket); });
    // The message may have arrived with the connection.
    if (socket->bytesAvailable() > 0) ReadMessage(socket);
  }
}

void SingleInstance::ReadMessage(QLocalSocket* socket) {
  const QByteArray pending = socket->peek(kMaxMessageBytes + 1);
  const int end = pending.indexOf('\n');
  if (end < 0) {
    if (pending.size() > kMaxMessageBytes) Drop(socket);
    return;
  }
  const QByteArray message = socket->read(end + 1);
  socket->disconnectFromServer();
  if (message == kActivateMessage) emit activationRequested();
}

}  // namespace vell::platform
