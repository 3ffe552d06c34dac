#include "platform/single_instance.h"

#include <unistd.h>

#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
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

}  // namespace

const QByteArray SingleInstance::kActivateMessage = QByteArrayLiteral("activate\n");

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultSocketPath(const QString& program) {
  // No shared folder such as /tmp instead: another user could listen there first.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return {};
  return folder + QLatin1Char('/') + program + QLatin1Char('-') + QString::number(getuid()) +
         QStringLiteral(".socket");
}

SingleInstance::Claim SingleInstance::Start() {
  if (socketPath_.isEmpty()) return Claim::kUnavailable;
  QLockFile lock(socketPath_ + QStringLiteral(".lock"));
  // Without the lock the race it guards against is merely possible: go on.
  lock.tryLock(kLockTimeoutMs);
  switch (AskRunningCopy()) {
    case Handover::kDone:
      return Claim::kAlreadyRunning;
    case Handover::kNoAnswer:
      // Something listens but does not take the message: never take its
      // socket away from a live copy.
      return Claim::kUnavailable;
    case Handover::kNobodyThere:
      break;
  }
  return Listen() ? Claim::kFirst : Claim::kUnavailable;
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

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* raw = server_.nextPendingConnection()) {
    QPointer<QLocalSocket> socket(raw);
    connect(raw, &QLocalSocket::disconnected, raw, &QObject::deleteLater);
    auto readMessage = [this, socket] {
      if (!socket) return;
      const QByteArray pending = socket->peek(kMaxMessageBytes + 1);
      const int end = pending.indexOf('\n');
      if (end < 0) {
        if (pending.size() > kMaxMessageBytes) socket->abort();
        return;
      }
      const QByteArray message = socket->read(end + 1);
      socket->disconnectFromServer();
      if (message == kActivateMessage) emit activationRequested();
    };
    connect(raw, &QLocalSocket::readyRead, this, readMessage);
    // The message may have arrived with the connection.
    if (raw->bytesAvailable() > 0) readMessage();
  }
}

}  // namespace vell::platform
