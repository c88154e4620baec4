// Shared pieces of the window tests: a registry of Qt Test classes (one program runs them all),
// a program folder in a temporary folder with dictionaries built by the test, and helpers to
// drive the main window and wait for its search to end.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
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
#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric::test {

// Every test class registers a factory; main() runs them in turn.
inline std::vector<std::function<std::unique_ptr<QObject>()>>& guiTests() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> tests;
    return tests;
}
struct GuiTestRegistration {
    explicit GuiTestRegistration(std::function<std::unique_ptr<QObject>()> make) {
        guiTests().push_back(std::move(make));
    }
};
#define ZANTRIC_GUI_TEST(Class)                                         \
    static const ::zantric::test::GuiTestRegistration kRegister##Class( \
        [] { return std::unique_ptr<QObject>(std::make_unique<Class>().release()); })

using Words = std::vector<std::string>;

// A program folder (ini, lexicons, temp) in a fresh temporary folder, made current; the
// configuration and the catalogue are read from it anew.
class ProgramFolder {
public:
    ProgramFolder() {
        TempFolder::write(
            "zantric.ini",
            "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\nTEMP_FILES=.\\temp\n");
        std::filesystem::create_directories("lexicons");
        std::filesystem::create_directories("temp");
        std::filesystem::create_directories("files");
        Settings::resetForTests();
        Catalogue::resetForTests();
    }
    ~ProgramFolder() { Catalogue::resetForTests(); }

    const std::filesystem::path& path() const { return m_folder.path(); }

    // Builds lexicons/<name> from the words and lists it, selected or not; the selection is
    // written to the file so that another program reading the folder sees it too.
    static void addDictionary(const std::string& name, Words words, bool selected = true) {
        std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
            return compareWords(a.c_str(), b.c_str()) < 0;
        });
        const std::string path = ".\\lexicons\\" + name;
        DictionaryWriter writer(path);
        for (const auto& w : words) writer.addWord(w);
        writer.close();
        Catalogue& catalogue = Catalogue::instance();
        catalogue.add(path);
        catalogue.setSelected(path, selected);
        catalogue.find(path)->writeHeader();
    }

private:
    TempFolder m_folder;
};

// Types text into an editable combo box key by key. The keys go to the combo box, which holds
// the focus and receives a user's keys (it hands them on to its edit field itself).
inline void typeInto(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// The message box on screen, nullptr when none is.
inline QMessageBox* visibleMessageBox() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

// Answers every message box with `answer`, after looking twice, 300 ms apart, at a progress
// figure of the work that the box is meant to hold: both looks must see the same value.
class PauseCheckingPresenter : public RecorderPresenter {
public:
    PauseCheckingPresenter(std::function<int()> progress, int answer)
        : m_progress(std::move(progress)), m_answer(answer) {}
    int show(const std::string& text, const std::string& title, int style, bool owner) override {
        RecorderPresenter::show(text, title, style, owner);
        // A word or step under way when the question came may still be counted.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        progressWhenAsked = m_progress();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progressWhenAnswered = m_progress();
        return m_answer;
    }
    int progressWhenAsked = -1;
    int progressWhenAnswered = -1;

private:
    std::function<int()> m_progress;
    int m_answer;
};

// Runs `action` on the GUI thread once `ready` holds, checking every 10 ms (also inside the
// nested event loop of a modal dialog).
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

// What a test saw of a message box raised while work runs under a progress dialog.
struct SeenBox {
    QWidget* owner = nullptr;
    QString text;
    bool progressShown = true;    // a progress dialog on screen while the box waited
    bool answeredByEnter = true;  // Enter closed the box (else it was taken away)
};

// Answers the next message box with Enter once it has waited long enough for a progress dialog
// to have shown itself over it (0.7 s). `context` bounds the timers to the test's scope.
inline void answerNextBoxWithEnter(QObject* context, SeenBox& seen) {
    whenReady(
        [] { return visibleMessageBox() != nullptr; },
        [context, &seen] {
            QPointer<QMessageBox> box = visibleMessageBox();
            seen.owner = box->parentWidget();
            seen.text = box->text();
            QTimer::singleShot(700, context, [context, &seen, box] {
                seen.progressShown = false;
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window->inherits("zantric::gui::ProgressDialog") && window->isVisible()) {
                        seen.progressShown = true;
                    }
                }
                QTest::keyClick(box, Qt::Key_Return);
                QTimer::singleShot(300, context, [&seen, box] {
                    if (box == nullptr || !box->isVisible()) return;
                    seen.answeredByEnter = false;
                    box->hide();  // ends its exec; a close could be refused
                });
            });
        });
}

}  // namespace zantric::test
