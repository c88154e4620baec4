// Command, control and help ids of the window program, and its timer period. Menu hints are the
// string-table entries with the command's id, and command enabling is keyed by these ids.
#pragma once

namespace zantric::gui {

// Commands (menu items, accelerators, buttons).
inline constexpr int kCmdExit = 2;  // Exit, Escape, the close box, and the Cancel button
inline constexpr int kCmdStart = 150;
inline constexpr int kCmdAbout = 2009;
inline constexpr int kCmdHelp = 7101;
inline constexpr int kCmdRemoveWord = 7102;
inline constexpr int kCmdAddWord = 7103;
inline constexpr int kCmdCreateFromFile = 7104;
inline constexpr int kCmdSelectDictionaries = 7106;
inline constexpr int kCmdMerge = 7205;
inline constexpr int kCmdDeleteDictionaries = 7305;
inline constexpr int kCmdClearAll = 24331;
inline constexpr int kCmdView = 24332;
inline constexpr int kCmdDeleteResults = 24333;
inline constexpr int kCmdSaveAs = 24334;
inline constexpr int kCmdPhraseOptions = 24336;
// In the Select Dictionaries menu: show the details of the highlighted dictionary.
inline constexpr int kCmdShowDetails = 105;

// Controls of the main window.
inline constexpr int kIdFind = 105;
inline constexpr int kIdFrom = 106;
inline constexpr int kIdInclude = 107;
inline constexpr int kIdExclude = 108;
inline constexpr int kIdOptionsGroup = 109;
inline constexpr int kIdUseAllFromLetters = 111;
inline constexpr int kIdSuppressPermutations = 112;
inline constexpr int kIdBold = 113;
inline constexpr int kIdResultsList = 114;
inline constexpr int kIdSize = 115;
inline constexpr int kIdFontGroup = 116;
inline constexpr int kIdSizeLabel = 543;
// Status-bar panes.
inline constexpr int kIdFoundPane = 5000;
inline constexpr int kIdCheckedPane = 5001;
inline constexpr int kIdFiltersPane = 5002;

// The period of the search's and the analysis's counters and completion checks.
inline constexpr int kSearchTimerMs = 100;

// Help contexts of the dialogs (0 is the contents).
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpMakeDictionary = 1008;
inline constexpr int kHelpMergeDictionaries = 1047;
inline constexpr int kHelpAddWord = 1055;
inline constexpr int kHelpRemoveWord = 1065;
inline constexpr int kHelpSelectDictionaries = 1074;
inline constexpr int kHelpPhraseOptions = 1090;

}  // namespace zantric::gui
