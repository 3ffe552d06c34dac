#include "app/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vell {

FileChooser::~FileChooser() = default;

QString DialogFileChooser::Choose(const Request& request) {
  QFileDialog dialog(parent_);
  dialog.setNameFilters(request.filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(request.defaultExtension);
  if (request.mode == Mode::kOpen) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  // A name with a wildcard only says where to start; the filter list already
  // chooses what is shown.
  const QFileInfo initial(request.initialName);
  if (initial.fileName().contains(QLatin1Char('*')) || initial.fileName().contains(QLatin1Char('?'))) {
    dialog.setDirectory(initial.absolutePath());
  } else if (!request.initialName.isEmpty()) {
    dialog.setDirectory(initial.absolutePath());
    dialog.selectFile(initial.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace vell
