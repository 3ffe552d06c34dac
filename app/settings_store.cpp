#include "app/settings_store.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/app_texts.h"
#include "platform/message_box.h"
#include "platform/program_info.h"

namespace vell {

namespace {

SettingsStore* openStore = nullptr;

}  // namespace

bool SettingsStore::FileState::operator==(const FileState& other) const {
  return exists == other.exists && size == other.size && modified == other.modified && changed == other.changed &&
         inode == other.inode;
}

SettingsStore::SettingsStore()
    : previous_(openStore),
      location_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                QLatin1String(kSettingsCompany) + QLatin1Char('/') + vell::platform::ApplicationName() +
                QStringLiteral(".conf")) {
  openStore = this;
  Refresh();
}

SettingsStore::~SettingsStore() {
  Commit();
  openStore = previous_;
}

SettingsStore::FileState SettingsStore::Stat(const QString& path) {
  FileState state;
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return state;
  state.exists = true;
  state.size = info.st_size;
  state.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  state.changed = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
  state.inode = info.st_ino;
  return state;
}

// Reads the file again when it is not as this store last saw it; that costs
// one stat() while nothing has changed. Changes not written yet are kept.
void SettingsStore::Refresh() {
  const FileState now = Stat(Location());
  if (known_ && *known_ == now) return;
  known_ = now;
  problem_ = Load();
  if (!problem_.isEmpty()) {
    Complain();
    return;
  }
  for (const Change& change : pending_) document_.Set(change.section, change.name, change.value);
}

// Reads and checks the file; returns why it cannot be used, or empty.
QString SettingsStore::Load() {
  QFile file(Location());
  if (file.exists() && (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))) {
    document_ = IniDocument();
    return texts::Text(texts::kSettingsUnreadable);
  }
  const int line = document_.Load(file.isOpen() ? file.readAll() : QByteArray());
  return line == 0 ? QString() : texts::Text(texts::kSettingsLineBad).arg(line);
}

void SettingsStore::Complain() {
  if (complained_) return;
  complained_ = true;
  vell::platform::ShowAppMessage(
      texts::Text(texts::kSettingsUnusable).arg(QDir::toNativeSeparators(Location()), problem_));
}

int SettingsStore::ReadInt(const QString& section, const QString& name, int defaultValue) {
  Refresh();
  if (!problem_.isEmpty()) return defaultValue;
  bool ok = false;
  const int value = document_.Value(section, name).value_or(QString()).trimmed().toInt(&ok, 10);
  return ok ? value : defaultValue;
}

QString SettingsStore::ReadString(const QString& section, const QString& name, const QString& defaultValue) {
  Refresh();
  if (!problem_.isEmpty()) return defaultValue;
  return document_.Value(section, name).value_or(defaultValue);
}

bool SettingsStore::Write(const QString& section, const QString& name, const QVariant& value) {
  Refresh();
  if (!problem_.isEmpty()) return false;
  pending_.append(Change{section, name, value});
  document_.Set(section, name, value);
  return batchDepth_ > 0 || Commit();
}

bool SettingsStore::EndBatch() {
  if (--batchDepth_ > 0) return true;
  return Commit();
}

// Writes the file whole, once, with the pending changes.
bool SettingsStore::Commit() {
  if (pending_.isEmpty()) return true;
  const QString path = Location();
  const QFileInfo info(path);
  // A file made read-only keeps its values, as it would with QSettings.
  bool ok = QDir().mkpath(info.absolutePath()) && (!info.exists() || info.isWritable());
  if (ok) {
    // Another copy of the program, or QSettings, may be writing the file too.
    QLockFile lock(path + QStringLiteral(".lock"));
    ok = lock.lock();
    if (ok) {
      Refresh();  // takes in what another program wrote meanwhile
      QSaveFile file(path);
      ok = problem_.isEmpty() && file.open(QIODevice::WriteOnly) && document_.WriteTo(file) && file.commit();
      if (ok) known_ = Stat(path);
    }
  }
  pending_.clear();
  // What this store holds is then not what the file holds: it reads the file again.
  if (!ok) known_.reset();
  return ok;
}

namespace {

SettingsStore& OpenStore() {
  if (openStore) return *openStore;
  // Without a store of the program's own, one serves the rest of the process.
  static SettingsStore fallback;
  return fallback;
}

}  // namespace

int ReadSettingInt(const QString& section, const QString& name, int defaultValue) {
  return OpenStore().ReadInt(section, name, defaultValue);
}

bool WriteSettingInt(const QString& section, const QString& name, int value) {
  return OpenStore().Write(section, name, value);
}

QString ReadSettingString(const QString& section, const QString& name, const QString& defaultValue) {
  return OpenStore().ReadString(section, name, defaultValue);
}

bool WriteSettingString(const QString& section, const QString& name, const QString& value) {
  return OpenStore().Write(section, name, value);
}

QString SettingsLocation() { return OpenStore().Location(); }

SettingsBatch::SettingsBatch() : store_(OpenStore()) { store_.BeginBatch(); }

SettingsBatch::~SettingsBatch() { store_.EndBatch(); }

}  // namespace vell
