#include "gui/dictionary_commands.h"

#include "core/search/search_request.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/word_dialog.h"

namespace zantric::gui {

void DictionaryCommands::select() {
    // The next phrase search analyses the dictionaries again, whatever is chosen here.
    m_request.clearAnalysedLetters();
    SelectDictionariesDialog dialog(m_panel);
    m_openSelect = &dialog;
    dialog.exec();
    m_openSelect = nullptr;
}

void DictionaryCommands::makeFromFile() {
    MakeDictionaryDialog dialog(m_panel);
    QObject::connect(&dialog, &MakeDictionaryDialog::dictionaryMade, &dialog,
                     [this] { dictionariesChanged(); });
    dialog.exec();
    dictionariesChanged();
}

void DictionaryCommands::merge() {
    MergeDialog dialog(m_panel);
    QObject::connect(&dialog, &MergeDialog::dictionariesChanged, &dialog,
                     [this] { dictionariesChanged(); });
    dialog.exec();
    dictionariesChanged();
}

void DictionaryCommands::changeWord(bool add) {
    WordDialog dialog(m_panel, add ? UpdateMode::kAdd : UpdateMode::kRemove);
    QObject::connect(&dialog, &WordDialog::dictionariesChanged, &dialog,
                     [this] { dictionariesChanged(); });
    dialog.exec();
    dictionariesChanged();
}

void DictionaryCommands::deleteHighlighted() {
    if (m_openSelect != nullptr) m_openSelect->deleteDictionaries();
}

void DictionaryCommands::showDetails() {
    if (m_openSelect != nullptr) m_openSelect->showDetails();
}

void DictionaryCommands::dictionariesChanged() {
    m_request.clearAnalysedLetters();
    if (m_openSelect != nullptr) m_openSelect->fillList();
}

}  // namespace zantric::gui
