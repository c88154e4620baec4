// DictionaryCommands: the Dictionaries menu (Select, Add Word, Remove Word, Merge, Create From
// File) and the two commands of the Select Dictionaries dialog's own menu (Delete, Show Details).
// Each runs its modal dialog over the search panel. After any change to the dictionaries the
// next phrase search analyses them again and an open Select Dictionaries list shows the change.
// GUI thread only.
#pragma once

namespace zantric {
class SearchRequest;
}

namespace zantric::gui {

class SearchPanel;
class SelectDictionariesDialog;

class DictionaryCommands {
public:
    DictionaryCommands(SearchPanel* panel, SearchRequest& request)
        : m_panel(panel), m_request(request) {}

    void select();
    void makeFromFile();
    void merge();
    void changeWord(bool add);
    // Delete and Show Details act on the Select Dictionaries dialog while it is open.
    void deleteHighlighted();
    void showDetails();

private:
    void dictionariesChanged();

    SearchPanel* m_panel;
    SearchRequest& m_request;
    SelectDictionariesDialog* m_openSelect = nullptr;  // the Select Dictionaries dialog while open
};

}  // namespace zantric::gui
