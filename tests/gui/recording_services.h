#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

#include "platform/system_services.h"

// Stands in for the desktop: records what would be opened, launched, shown
// or sounded, and answers as told (or lets the real services answer).
class RecordingServices : public vell::platform::SystemServices {
 public:
  bool OpenUrl(const QUrl& url) override {
    openedUrls << url;
    return realOpenUrl ? SystemServices::OpenUrl(url) : openUrlResult;
  }
  vell::platform::OpenResult StartDetached(const QString& program, const QStringList& arguments) override {
    launched << (QStringList{program} + arguments);
    return realStart ? SystemServices::StartDetached(program, arguments) : startResult;
  }
  QString DefaultApplication(const QString& mimeType) override {
    queriedTypes << mimeType;
    return defaultApplication;
  }
  void ShowMessage(const QString& caption, const QString& text) override { messages << qMakePair(caption, text); }
  void Beep() override { ++beeps; }

  bool openUrlResult = true;
  vell::platform::OpenResult startResult = vell::platform::OpenResult::kOpened;
  // Pass these on to the real services, still recording them.
  bool realOpenUrl = false;
  bool realStart = false;
  QString defaultApplication;

  QList<QUrl> openedUrls;
  QList<QStringList> launched;
  QStringList queriedTypes;
  QList<QPair<QString, QString>> messages;
  int beeps = 0;
};

// Recording services that stand in for the real ones as long as they live.
class ScopedRecordingServices : public RecordingServices {
 public:
  ScopedRecordingServices() : scope_(*this) {}

 private:
  vell::platform::ScopedServices scope_;
};
