#pragma once

#include <QString>

// The per-user settings of the program: sections of named integer and string
// values, kept by QSettings under the company "Quorvant Systems" and the
// application name (on Linux $XDG_CONFIG_HOME/Quorvant Systems/vell.conf).
//
// Every read names the default it returns when the value is absent or cannot
// be read; every write goes to the store at once. Section and value names
// compare without regard to letter case: writing "Run at start" changes an
// existing "Run At Start".
//
// A store file that cannot be read or is not well formed is left alone: reads
// return their defaults and writes fail rather than replace the values in it.

inline constexpr char kSettingsCompany[] = "Quorvant Systems";

int ReadSettingInt(const QString& section, const QString& name, int defaultValue);
bool WriteSettingInt(const QString& section, const QString& name, int value);
QString ReadSettingString(const QString& section, const QString& name, const QString& defaultValue);
bool WriteSettingString(const QString& section, const QString& name, const QString& value);

// Where the store lives (a file path, or the registry key on Windows).
QString SettingsLocation();
