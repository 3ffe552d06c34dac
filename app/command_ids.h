#pragma once

// Control and command ids of the window. The pages' controls keep the ids of
// their templates; the sheet carries out every command by id in one place, so
// buttons, the tray popup and posted commands share one path.

namespace vell::ids {

// Sheet buttons.
constexpr int kTray = 1;       // the former OK button
constexpr int kQuit = 2;       // the former Cancel button
constexpr int kApply = 12321;  // hidden; keeps its place in the button row
constexpr int kHelp = 106;     // the former Help button: writes and opens the guide

// Expression page (template 104).
constexpr int kExpressionBox = 1000;
constexpr int kEvaluate = 1002;
constexpr int kVariablesBox = 1006;
constexpr int kOpenVariables = 1007;
constexpr int kResultBox = 1009;
constexpr int kSaveVariables = 1010;
constexpr int kNewVariables = 1011;
constexpr int kDetailsBox = 1012;
constexpr int kDetailsCheck = 1013;
constexpr int kExpressionFrame = 1014;
constexpr int kTipsCheck = 1016;

// About page (template 105).
constexpr int kLink = 1014;
constexpr int kTitle = 1015;

// The tray popup's commands.
constexpr int kShow = 32771;
constexpr int kRunAtStart = 32772;
constexpr int kMinimizeAtStart = 32773;
constexpr int kAbout = 57664;

}  // namespace vell::ids
