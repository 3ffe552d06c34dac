#pragma once

// Control and command ids of the window. The pages' controls keep the ids of
// their templates; the sheet carries out every command by id in one place, so
// buttons, the tray popup and posted commands share one path. Plain enums:
// an id travels as an int through that path.

namespace vell::ids {

enum Command : int {
  // Sheet buttons.
  kTray = 1,       // the former OK button
  kQuit = 2,       // the former Cancel button
  kApply = 12321,  // hidden; keeps its place in the button row
  kHelp = 106,     // the former Help button: writes and opens the guide

  // Expression page (template 104).
  kEvaluate = 1002,
  kOpenVariables = 1007,
  kSaveVariables = 1010,
  kNewVariables = 1011,
  kDetailsCheck = 1013,
  kTipsCheck = 1016,

  // The tray popup.
  kShow = 32771,
  kRunAtStart = 32772,
  kMinimizeAtStart = 32773,
  kAbout = 57664,
};

// Controls that carry no command.
enum Control : int {
  kExpressionBox = 1000,
  kVariablesBox = 1006,
  kResultBox = 1009,
  kDetailsBox = 1012,
  kExpressionFrame = 1014,  // Expression page
  kLink = 1014,             // About page
  kTitle = 1015,
};

}  // namespace vell::ids
