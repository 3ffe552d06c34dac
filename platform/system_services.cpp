#include "platform/system_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#include "platform/mime_defaults.h"

namespace vell::platform {

namespace {
SystemServices* current = nullptr;
}  // namespace

SystemServices::~SystemServices() = default;

bool SystemServices::OpenUrl(const QUrl& url) {
  // QDesktopServices reports success once the opener has started; a failure
  // it finds afterwards (no handler for the scheme) would be lost.
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return QDesktopServices::openUrl(url);
  auto* process = new QProcess;
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->setStandardInputFile(QProcess::nullDevice());
  process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
  if (!process->waitForFinished(openerWaitMs_) && process->state() == QProcess::Running) {
    // A handler runs in the opener's place: it opened. Let it run on; the
    // object goes when it ends, and a program that ends first leaves it running.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
  }
  const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0 &&
                      process->error() == QProcess::UnknownError;
  delete process;
  return opened;
}

OpenResult SystemServices::StartDetached(const QString& program, const QStringList& arguments) {
  if (const auto failure = ProgramStartFailure(program)) return *failure;
  // An exec failure after the checks above means the file is no program we can run.
  return QProcess::startDetached(program, arguments) ? OpenResult::kOpened : OpenResult::kBadFormat;
}

QString SystemServices::DefaultApplication(const QString& mimeType) {
  // xdg-mime knows the desktop-specific ways of choosing; without it the
  // mimeapps.list files are read directly.
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (!xdgMime.isEmpty()) {
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (query.waitForFinished(3000) && query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0) {
      QString id = QString::fromUtf8(query.readAllStandardOutput()).section('\n', 0, 0).trimmed();
      if (!id.isEmpty()) return id;
    } else {
      query.kill();
      query.waitForFinished(1000);
    }
  }
  return FindDefaultDesktopId(mimeType);
}

void SystemServices::ShowMessage(const QString& caption, const QString& text) {
  QMessageBox::warning(QApplication::activeWindow(), caption, text, QMessageBox::Ok);
}

void SystemServices::Beep() { QApplication::beep(); }

SystemServices& Services() {
  static SystemServices real;
  return current ? *current : real;
}

ScopedServices::ScopedServices(SystemServices& services) : previous_(current) { current = &services; }

ScopedServices::~ScopedServices() { current = previous_; }

}  // namespace vell::platform
