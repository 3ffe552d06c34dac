#pragma once

#include <QString>

// Every text the window shows, in one place. The texts the program has
// always shown stay exactly as they are; the messages after them say what
// went wrong where the program once stayed silent.

namespace vell::texts {

// The sheet, its buttons and the tray popup.
inline constexpr char kProgram[] = "Vell";
inline constexpr char kPages[] = "Pages";
inline constexpr char kApply[] = "&Apply";
inline constexpr char kHelp[] = "&Help";
inline constexpr char kQuit[] = "&Quit";
inline constexpr char kTray[] = "&Tray";
inline constexpr char kShow[] = "&Show";
inline constexpr char kMinimizeAtStart[] = "Minimize to &Tray at start";
inline constexpr char kRunAtStart[] = "&Run on Windows-start";
inline constexpr char kAbout[] = "&About...";

// The Expression page.
inline constexpr char kExpressionPage[] = "Expression";
inline constexpr char kVariablesFrame[] = "Variables (Optional)";
inline constexpr char kEvaluate[] = "&Evaluate";
inline constexpr char kResult[] = "Result";
inline constexpr char kReason[] = "Reason";      // the line under the result that says why it is E
inline constexpr char kLineValues[] = "Values";  // the column beside the Variables box
inline constexpr char kLineFailed[] = "ERR";     // beside a sheet line that does not resolve
inline constexpr char kLineFailedBecause[] = "ERR: %1";
inline constexpr char kNew[] = "&New";
inline constexpr char kOpen[] = "&Open...";
inline constexpr char kSave[] = "&Save...";
inline constexpr char kDetailsBox[] = "Details";
inline constexpr char kDetails[] = "&Details";
inline constexpr char kTips[] = "&Tips";
inline constexpr char kExpressionTipTitle[] = "Expression";
inline constexpr char kExpressionTip[] =
    "Please type in the expression here. For eg:\r\nsin(45)+56/2\r\nYou may also use any variable from the "
    "'variables' box.";
inline constexpr char kVariablesTipTitle[] = "Variables";
inline constexpr char kVariablesTip[] = "Please type in the variables here. For eg:\r\nx=sin(45)+56/2\r\ny=x/23";
inline constexpr char kFileFilter[] = "TXT Files (*.txt);;All Files (*)";

// The About page. The version line takes the version number.
inline constexpr char kAboutPage[] = "About Vell";
inline constexpr char kSeparator[] = "Separator";
inline constexpr char kLink[] = "Want more free software like this? Visit QUORVANT now!!!";
inline constexpr char kVersionLine[] = "Version %1 (1/27/2000)";
inline constexpr char kLicence[] =
    "Free to use and to pass on unchanged. Provided as is, with no warranty of any kind.";
inline constexpr char kCopyright[] = "Copyright \u00A9 2000 Quorvant Systems. All rights reserved.";
inline constexpr char kReportFaults[] = "Please report faults to %1";

// Messages.
inline constexpr char kShortcutFailed[] = "Error creating Shortcut";
inline constexpr char kResourceMissing[] = "Error in Vell.Exe";
inline constexpr char kGuideNotWritten[] = "The user guide could not be written to %1:\n%2\n\nnor to %3:\n%4";
inline constexpr char kSettingsUnusable[] =
    "The settings file %1 cannot be used: %2. Settings will not be saved until it is repaired or removed.";
inline constexpr char kSettingsLineBad[] = "line %1 is not well formed";
inline constexpr char kSettingsUnreadable[] = "it cannot be read";
inline constexpr char kFileTooLarge[] = "The file %1 is larger than 16 MiB and was not opened.";
inline constexpr char kNotRegularFile[] = "%1 is not a regular file and was not opened.";
inline constexpr char kNulByte[] = "The file %1 holds a NUL byte at offset %2: only the text before it was loaded.";
inline constexpr char kNotSaved[] = "The file %1 could not be saved:\n%2";

inline QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace vell::texts
