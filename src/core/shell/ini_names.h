// The section and key names of zantric.ini, each spelled once: every reader and writer of the
// ini file takes its names from here. docs/ini-file.md tells, entry by entry, what each holds,
// its default and when it is read and written. Names compare without regard to case in the file,
// but they are written as they stand here. Constants only; any thread.
#pragma once

#include <string_view>

namespace zantric::ini {

// The three folders, written when the file is created and read at start.
inline constexpr std::string_view kPathsSection = "PATHS";
inline constexpr std::string_view kFilesFolder = "FILES";
inline constexpr std::string_view kDictionariesFolder = "DICTIONARIES";
inline constexpr std::string_view kTempFolder = "TEMP_FILES";

inline constexpr std::string_view kRemindersSection = "REMINDERS";
inline constexpr std::string_view kUniqueWarning = "Unique Warning";
// 1: closing the window throws away unsaved matches without asking first.
inline constexpr std::string_view kDiscardWarning = "Discard Warning";

inline constexpr std::string_view kSettingsSection = "SETTINGS";
inline constexpr std::string_view kCheckUnique = "Check Unique";  // written, never read
inline constexpr std::string_view kTabSize = "Tab Size";
// The most matches one Copy of the results list puts on the clipboard without asking.
inline constexpr std::string_view kCopyLimit = "Copy Limit";

inline constexpr std::string_view kSearchSection = "SEARCH";
inline constexpr std::string_view kMatchLimit = "Match Limit";
inline constexpr std::string_view kThreads = "Threads";
inline constexpr std::string_view kBestFirst = "Best First";  // the window's Best first box

inline constexpr std::string_view kFontSection = "FONT";
inline constexpr std::string_view kFontSet = "Font Set";
inline constexpr std::string_view kFontWeight = "Weight";
inline constexpr std::string_view kFontHeight = "Height";

inline constexpr std::string_view kWindowPositionSection = "WINDOW POSITION";
inline constexpr std::string_view kWindowTop = "top";
inline constexpr std::string_view kWindowBottom = "bottom";
inline constexpr std::string_view kWindowLeft = "left";
inline constexpr std::string_view kWindowRight = "right";
inline constexpr std::string_view kWindowMaximised = "Maximised";

inline constexpr std::string_view kPhraseOptionsSection = "PHRASE OPTIONS";
inline constexpr std::string_view kMinWordLength = "Minimum Word Length";
inline constexpr std::string_view kEachWordOnce = "Each Word Once";
inline constexpr std::string_view kUseStoplist = "Use Stoplist";
inline constexpr std::string_view kCommonWords = "Common Words";
inline constexpr std::string_view kBestShown = "Best Shown";

// The window's Save As and View open in the folder of the results file last chosen in either.
inline constexpr std::string_view kResultsFilesSection = "RESULTS FILES";
inline constexpr std::string_view kLastFolder = "Last Folder";

}  // namespace zantric::ini
