// Shared by the window tests and tools (GUI thread only): a program folder with dictionaries, the
// main window as the program builds it, helpers that answer a dialog from inside its modal loop.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/dictionary/workspace.h"
#include "core/shell/settings.h"
#include "gui/main_window.h"
#include "gui/qt_message_presenter.h"
#include "gui/search_panel.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric::test {

using Words = std::vector<std::string>;
// The prompter of a test's program session: hands every message on to the prompter a test gave
// it for the moment (ListeningTo), else to a recorder nobody reads, which takes the default
// answers.
class HandingOnPrompter final : public Prompter {
public:
    // Hands on to `to` (nullptr: nobody) from now on; returns the one it replaces.
    Prompter* handTo(Prompter* to) { return m_to.exchange(to); }
    int choose(const Message& question, const Captions& captions) override {
        return target().choose(question, captions);
    }
    void beep() override { target().beep(); }

protected:
    Answer answer(const Message& message) override {
        Message unbeeped = message;
        unbeeped.beep = false;  // ask() has sounded it already
        return target().ask(unbeeped);
    }

private:
    Prompter& target() {
        Prompter* to = m_to.load();
        return to != nullptr ? *to : m_nobody;
    }
    std::atomic<Prompter*> m_to{nullptr};
    RecorderPresenter m_nobody;
};

// A program folder (ini, lexicons, temp, files) in a fresh temporary folder, made current, with
// the settings and the catalogue a session would have there (each made on first use, telling the
// folder's prompter). The one made last is current().
class ProgramFolder {
public:
    ProgramFolder() : m_previous(s_current) {
        s_current = this;
        TempFolder::write("zantric.ini",
                          "[PATHS]\nFILES=./files\nDICTIONARIES=./lexicons\nTEMP_FILES=./temp\n");
        for (const char* sub : {"lexicons", "temp", "files"})
            std::filesystem::create_directory(sub);
        // The home folder is this one too: the file dialogs' documents folder and the user's
        // settings stay inside it.
        qputenv("HOME", QDir::currentPath().toLocal8Bit()), qputenv("XDG_CONFIG_HOME", "");
    }
    ~ProgramFolder() {
        s_current = m_previous;
        qputenv("HOME", m_home), qputenv("XDG_CONFIG_HOME", m_config);
    }
    static ProgramFolder& current() { return *s_current; }
    // What the session of the folder tells and asks goes here.
    static HandingOnPrompter& prompter() { return current().m_prompter; }
    static const Settings& settings() {
        ProgramFolder& folder = current();
        if (!folder.m_settings) folder.m_settings = std::make_unique<Settings>(prompter());
        return *folder.m_settings;
    }
    static Catalogue& catalogue() {
        ProgramFolder& folder = current();
        if (!folder.m_catalogue)
            folder.m_catalogue = std::make_unique<Catalogue>(settings(), prompter());
        return *folder.m_catalogue;
    }
    static Workspace workspace() { return {settings(), catalogue(), prompter()}; }
    // The settings read again on next use, as the next start reads them. The old ones live on
    // with the folder, so that a window made before still refers to whole objects.
    static void reread() {
        ProgramFolder& folder = current();
        if (folder.m_catalogue) folder.m_retiredCatalogues.push_back(std::move(folder.m_catalogue));
        if (folder.m_settings) folder.m_retiredSettings.push_back(std::move(folder.m_settings));
    }
    // Builds and lists lexicons/<name>; the selection is written to the file too.
    static void addDictionary(const std::string& name, Words words, bool selected = true) {
        std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
            return compareWords(a.c_str(), b.c_str()) < 0;
        });
        const std::string path = "./lexicons/" + name;
        DictionaryWriter writer(path);
        for (const auto& w : words) writer.addWord(w);
        writer.close();
        catalogue().add(path);
        catalogue().setSelected(path, selected);
        catalogue().find(path)->writeHeader(prompter());
    }

private:
    static inline ProgramFolder* s_current = nullptr;
    ProgramFolder* m_previous;
    const QByteArray m_home = qgetenv("HOME"), m_config = qgetenv("XDG_CONFIG_HOME");
    TempFolder m_folder;
    HandingOnPrompter m_prompter;
    std::vector<std::unique_ptr<Settings>> m_retiredSettings;
    std::vector<std::unique_ptr<Catalogue>> m_retiredCatalogues;  // go first: they use the settings
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Catalogue> m_catalogue;
};
// Hands what the current folder's session tells and asks to `prompter` for its lifetime.
class ListeningTo {
public:
    explicit ListeningTo(Prompter& prompter)
        : m_previous(ProgramFolder::prompter().handTo(&prompter)) {}
    ~ListeningTo() { ProgramFolder::prompter().handTo(m_previous); }
    ListeningTo(const ListeningTo&) = delete;
    ListeningTo& operator=(const ListeningTo&) = delete;

private:
    Prompter* m_previous;
};
// A recorder the current folder's session tells for its lifetime.
class RecordingPresenter : public RecorderPresenter {
    ListeningTo m_listening{*this};
};
// The catalogue's word count of a dictionary, -1 when it is not listed.
inline long listedWords(const std::string& name) {
    const CatalogueEntry* entry = ProgramFolder::catalogue().find("./lexicons/" + name);
    return entry ? static_cast<long>(entry->header().wordCount) : -1;
}
// The frame and main window as the program builds them; controls found by their names.
struct Window {
    Window()
        : client(new gui::SearchPanel(ProgramFolder::workspace())),
          frame(std::make_unique<gui::MainWindow>(client)) {
        frame->placeAtStoredPosition();
        client->setUp();
        frame->show();
    }
    template <class Control = QComboBox>
    Control* find(const char* name) const {
        auto* control = frame->findChild<Control*>(QLatin1String(name));
        if (control == nullptr) qFatal("The window has no control named %s", name);
        return control;
    }
    gui::SearchPanel* client;
    std::unique_ptr<gui::MainWindow> frame;
};
// Types into an editable combo box key by key, as a user does (it holds the focus).
inline void typeInto(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}
// Answers every box with `answer` after looking twice, 300 ms apart (50 ms after the question: a
// step under way may still be counted), at the progress of the work the box is meant to hold.
class PauseCheckingPresenter : public RecorderPresenter {
public:
    PauseCheckingPresenter(std::function<int()> progress, int answer)
        : m_progress(std::move(progress)), m_answer(answer) {}
    int progressWhenAsked = -1, progressWhenAnswered = -1;

protected:
    Answer answer(const Message& message) override {
        RecorderPresenter::answer(message);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        progressWhenAsked = m_progress();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progressWhenAnswered = m_progress();
        return answerOfId(m_answer);
    }

private:
    std::function<int()> m_progress;
    int m_answer;
};
// Runs `action` once `ready` holds, checking every 10 ms (also inside a modal dialog's loop).
inline void whenReady(std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout,
                     [timer, ready = std::move(ready), action = std::move(action)] {
                         if (!ready()) return;
                         timer->stop();
                         timer->deleteLater();
                         action();
                     });
    timer->start(10);
}
// Runs `act` on the next `Dialog` once it is active (Alt keys work), then closes it unless `close`.
template <class Dialog>
void inDialog(std::function<void(Dialog*)> act, bool close = true) {
    const auto open = [] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->isActiveWindow() ? qobject_cast<Dialog*>(modal) : nullptr;
    };
    whenReady([open] { return open() != nullptr; },
              [open, act = std::move(act), close] {
                  QPointer<Dialog> dialog = open();
                  act(dialog);
                  if (close && dialog != nullptr && dialog->isVisible()) dialog->reject();
              });
}

}  // namespace zantric::test
