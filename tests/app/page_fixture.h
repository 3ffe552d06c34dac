#pragma once

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <string>

#include "app/byte_text_edit.h"
#include "app/command_ids.h"
#include "app/expression_page.h"
#include "app/file_chooser.h"

using vell::ExpressionPage;

// Answers the page's file dialogs from a script and records what was asked.
class ScriptedChooser : public vell::FileChooser {
 public:
  QString Choose(const Request& request) override {
    requests << request;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
  QStringList answers;  // an empty answer is a cancelled dialog
  QList<Request> requests;
};

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Types into the page as a user would and presses Evaluate.
inline void Evaluate(ExpressionPage& page, const QString& variables, const QString& expression) {
  page.variablesBox()->setPlainText(variables);
  page.expressionBox()->setEditText(expression);
  page.OnCommand(vell::ids::kEvaluate);
}

inline void Evaluate(ExpressionPage& page, const QString& expression) {
  page.expressionBox()->setEditText(expression);
  page.OnCommand(vell::ids::kEvaluate);
}

inline QStringList History(const ExpressionPage& page) {
  QStringList entries;
  for (int i = 0; i < page.expressionBox()->count(); ++i) entries << page.expressionBox()->itemText(i);
  return entries;
}
