#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include "platform/open_document.h"

namespace vell::platform {

// Everything that reaches outside the program goes through one object, so a
// test can swap in a recorder and observe what would be opened or launched.
// The base class does the real work.
class SystemServices {
 public:
  virtual ~SystemServices();

  // Hands the address to the desktop's opener (xdg-open). True when the
  // opener reports success, or is still busy after the opener wait.
  virtual bool OpenUrl(const QUrl& url);
  // Starts program with exactly these arguments, never through a shell.
  virtual OpenResult StartDetached(const QString& program, const QStringList& arguments);
  // Desktop file id of the default application for a MIME type, or empty.
  virtual QString DefaultApplication(const QString& mimeType);
  // Modal warning box with an OK button.
  virtual void ShowMessage(const QString& caption, const QString& text);
  virtual void Beep();

  // How long OpenUrl waits for the opener's verdict. xdg-open returns at once
  // after handing over, but runs some handlers (a browser without a desktop
  // session) in its place until they end.
  void SetOpenerWait(int milliseconds) { openerWaitMs_ = milliseconds; }

 private:
  int openerWaitMs_ = 10000;
};

// The services in use: the real ones unless a ScopedServices is alive.
SystemServices& Services();

// Installs other services for the lifetime of this object.
class ScopedServices {
 public:
  explicit ScopedServices(SystemServices& services);
  ~ScopedServices();
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  SystemServices* previous_;
};

}  // namespace vell::platform
