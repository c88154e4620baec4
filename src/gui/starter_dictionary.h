// The first start of the window with an empty dictionaries folder: an offer to make the
// dictionary "english" from the system word list, so that the first search finds words.
// GUI thread.
#pragma once

#include <filesystem>
#include <string>

#include "core/maintenance/system_word_list.h"

class QString;
class QWidget;

namespace zantric::gui {

enum class StarterOutcome {
    kNotOffered,  // a dictionary is listed already, or there is no word list to make one from
    kDeclined,    // the user answered No
    kMade,        // the dictionary was made and selected
    kFailed,      // making it failed or was cancelled (the reason was shown); nothing changed
};

// When the catalogue lists no dictionary and `wordList` names a file, asks (Yes/No) whether
// to make the starter dictionary "english" from it; on Yes makes it with the progress dialog
// over `parent` and selects it. `told`, when given, receives "N words stored, M lines skipped"
// once the list has been read.
StarterOutcome offerStarterDictionary(Workspace workspace, QWidget* parent,
                                      const std::filesystem::path& wordList = systemWordList(),
                                      QString* told = nullptr);

}  // namespace zantric::gui
