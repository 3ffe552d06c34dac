#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace vell::platform {

// Keeps one copy of the program per user. The first start listens on a local
// socket that only this user can reach; a later start finds it there, asks
// the running copy to come forward and ends. A socket left behind by a copy
// that crashed answers nobody, so the next start removes it and takes over.
// Any local program of the user can connect, so connections are few and
// brief: each has a second to say its message, and the oldest gives way to a
// new one beyond a small number. Should the server stop listening all the
// same, it listens again.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    kFirst,           // this start is the running copy now
    kAlreadyRunning,  // another copy runs and was asked to come forward
    kUnavailable,     // neither: the socket cannot be used, run on our own
  };

  // socketPath: the socket's full path (see DefaultSocketPath).
  explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Claim Start();

  // <runtime folder>/<program>-<user id>.socket. The runtime folder is
  // $XDG_RUNTIME_DIR, or a private folder Qt makes when it is not set; empty
  // when there is neither, and then Start() says kUnavailable.
  static QString DefaultSocketPath(const QString& program);

  // What a later start sends; anything else is ignored.
  static const QByteArray kActivateMessage;

  const QString& socketPath() const { return socketPath_; }

 signals:
  // A later start asked for the window.
  void activationRequested();

 private:
  enum class Handover { kDone, kNobodyThere, kNoAnswer };
  Handover AskRunningCopy() const;
  bool Listen();
  void ListenAgainIfClosed();
  void OnNewConnection();
  void ReadMessage(QLocalSocket* socket);

  QString socketPath_;
  QLocalServer server_;
  QList<QPointer<QLocalSocket>> clients_;  // oldest first
  QTimer watch_;
};

}  // namespace vell::platform
