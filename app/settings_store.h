#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

#include "app/ini_document.h"

namespace vell {

// The per-user settings of the program: sections of named integer and string
// values, kept in QSettings' INI form where QSettings keeps them for the
// company "Quorvant Systems" and the application name:
// $XDG_CONFIG_HOME/Quorvant Systems/vell.conf.
//
// Every read names the default it returns when the value is absent or cannot
// be read; every write goes to the store at once (a SettingsBatch gathers
// several into one). Section and value names compare without regard to
// letter case: writing "Run at start" changes an existing "Run At Start".
//
// A store file that cannot be read or is not well formed is left alone: reads
// return their defaults and writes fail rather than replace the values in it.
// The user is told so once, with the first bad line.

inline constexpr char kSettingsCompany[] = "Quorvant Systems";

// The store file, read and checked when the store opens and then kept in
// memory. It is read and checked again only when it has changed on disk since
// this store last read or wrote it (another running copy wrote it). A write
// changes the value's line and writes the file whole, merged with such
// changes, under the lock QSettings takes for the file too. While it lives,
// a store is the one the functions below use; the program opens one for its
// whole run.
class SettingsStore {
 public:
  SettingsStore();
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  int ReadInt(const QString& section, const QString& name, int defaultValue);
  QString ReadString(const QString& section, const QString& name, const QString& defaultValue);
  // An integer or string value. Inside a batch, true means the value was
  // taken; the end of the batch writes it.
  bool Write(const QString& section, const QString& name, const QVariant& value);
  QString Location() const { return location_; }

  // Writes between these two go to the file in one write, when the outermost
  // batch ends. EndBatch returns whether that write succeeded.
  void BeginBatch() { ++batchDepth_; }
  bool EndBatch();

 private:
  // What the file system says of the file; any change means it was written.
  struct FileState {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;  // nanoseconds
    qint64 changed = 0;   // nanoseconds
    quint64 inode = 0;
    bool operator==(const FileState& other) const;
  };
  struct Change {
    QString section;
    QString name;
    QVariant value;
  };

  static FileState Stat(const QString& path);
  void Refresh();
  QString Load();
  bool Commit();
  void Complain();

  SettingsStore* previous_;
  QString location_;
  IniDocument document_;            // the file with the changes made since
  std::optional<FileState> known_;  // the file as this store last read or wrote it
  QString problem_;                 // why the file cannot be used; empty when it can
  bool complained_ = false;
  int batchDepth_ = 0;
  QList<Change> pending_;  // not in the file yet
};

int ReadSettingInt(const QString& section, const QString& name, int defaultValue);
bool WriteSettingInt(const QString& section, const QString& name, int value);
QString ReadSettingString(const QString& section, const QString& name, const QString& defaultValue);
bool WriteSettingString(const QString& section, const QString& name, const QString& value);

// The store file's path.
QString SettingsLocation();

// Gathers the writes made while it lives into one write of the store file.
class SettingsBatch {
 public:
  SettingsBatch();
  ~SettingsBatch();
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;

 private:
  SettingsStore& store_;
};

}  // namespace vell
