// zantric_gui_screenshots: drives the window program through its main screens and saves a PNG
// of each (QWidget::grab, so it runs offscreen), for a person to look at after a change:
//   QT_QPA_PLATFORM=offscreen build/dev/tools/zantric_gui_screenshots [OUTDIR]
// (OUTDIR defaults to build/screenshots). With --figures DIR it instead starts the program on
// the program folder DIR, prints how long the window took to become usable, runs a phrase
// search with more than a million matches and prints the memory in use while it is listed.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/search/subset_analysis.h"
#include "core/shell/progress_work.h"
#include "gui/about_dialog.h"
#include "gui/analysis_dialog.h"
#include "gui/help.h"
#include "gui/main_window.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/phrase_options_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/results_list.h"
#include "gui/search_panel.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/three_button_question.h"
#include "gui/word_dialog.h"
#include "gui/zantric_app.h"
#include "gui_test_support.h"

using namespace zantric;
using namespace zantric::gui;
using zantric::test::whenReady;

namespace {

QString g_out;
QElapsedTimer g_sinceMain;  // started first thing in main()

void save(QWidget* widget, const char* name) {
    if (widget == nullptr) {
        std::fprintf(stderr, "%s: the window had gone already\n", name);
        return;
    }
    QApplication::processEvents();
    const QString path = g_out + "/" + name + ".png";
    if (!widget->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

// Processes events until `done` holds (or 30 s pass).
void waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

template <class T>
T* modal() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// The system word list's plain words (a capital only in front, at most one inner hyphen, 1 to
// 20 letters), or a few words when it is not installed, in dictionary order.
std::vector<std::string> wordList() {
    std::vector<std::string> words;
    std::ifstream in("/usr/share/dict/words");
    std::string line;
    while (std::getline(in, line)) {
        int letters = 0, hyphens = 0;
        bool ok = !line.empty() && line.front() != '-' && line.back() != '-';
        for (std::size_t i = 0; ok && i < line.size(); ++i) {
            const char c = line[i];
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z' && i == 0)) {
                ++letters;
            } else if (c == '-') {
                ++hyphens;
            } else {
                ok = false;
            }
        }
        if (ok && letters <= kMaxWordLetters && hyphens <= 1) words.push_back(line);
    }
    if (words.empty())
        words = {"a", "at", "act", "cat", "coat", "taco", "dog", "god", "tea", "eat"};
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return compareWords(a.c_str(), b.c_str()) < 0; });
    return words;
}

void makeDictionary(const std::string& name, const std::vector<std::string>& words) {
    const std::string path = "./lexicons/" + name;
    DictionaryWriter writer(path);
    for (const auto& w : words) writer.addWord(w);
    writer.close();
}

// A control of the main window by its object name.
template <class Control>
Control* control(SearchPanel* client, const char* name) {
    return client->findChild<Control*>(QLatin1String(name));
}

void fill(SearchPanel* client, const QString& find, const QString& from, bool useAll) {
    control<QComboBox>(client, "find")->setEditText(find);
    control<QComboBox>(client, "from")->setEditText(from);
    auto* useAllBox = control<QCheckBox>(client, "useAll");
    if (useAllBox->isChecked() != useAll) useAllBox->click();
}

// Start, and wait until the list shows the results (a search still being completed when
// Start is pressed completes first, inside the command).
void searchAndWait(SearchPanel* client) {
    client->actions().search->trigger();
    if (!client->searching()) return;
    bool done = false;
    auto connection =
        QObject::connect(client, &SearchPanel::searchCompleted, [&done] { done = true; });
    waitFor([&] { return done; });
    QObject::disconnect(connection);
}

class DemoWork final : public ProgressWork {
public:
    explicit DemoWork(Prompter& prompter) : ProgressWork(prompter) {
        setText("Creating Dictionary");
    }
    void work() override {
        for (int i = 0; i < 100 && !poll(); ++i) {
            setPercent(i);
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }
};

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
    }
    return -1;
}

int figures(ZantricApp& app, const std::string& folder) {
    QElapsedTimer clock;
    clock.start();
    if (!app.start(folder)) return 1;
    MainWindow* frame = app.frame();
    waitFor([&] { return frame->isVisible(); });
    QApplication::processEvents();
    std::printf("window usable %lld ms after main() began (%lld ms of them in the start-up)\n",
                static_cast<long long>(g_sinceMain.elapsed()),
                static_cast<long long>(clock.elapsed()));
    SearchPanel* client = frame->client();
    frame->resize(1024, 700);
    fill(client, "* *", "painterslodge", false);
    clock.restart();
    searchAndWait(client);
    const long long searchMs = clock.elapsed();
    ResultsListView* list = control<ResultsListView>(client, "results");
    list->scrollToBottom();
    QApplication::processEvents();
    list->scrollTo(list->model()->index(list->model()->rowCount() / 2, 0));
    QApplication::processEvents();
    std::printf(
        "found %lld (%d rows) in %lld ms; memory while listed: VmRSS %ld kB, peak VmHWM %ld kB\n",
        static_cast<long long>(client->results().count()), list->model()->rowCount(), searchMs,
        statusKb("VmRSS:"), statusKb("VmHWM:"));
    app.shutDown();
    return 0;
}

}  // namespace

// NOLINTNEXTLINE(readability-function-size): the screens in the order a person walks them
int main(int argc, char** argv) {
    g_sinceMain.start();
    ZantricApp app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--figures") == 0) return figures(app, argv[2]);
    g_out = QDir(argc >= 2 ? argv[1] : "build/screenshots").absolutePath();
    QDir().mkpath(g_out);

    QTemporaryDir temp;
    QDir::setCurrent(temp.path());
    QDir().mkpath("lexicons");
    const std::vector<std::string> words = wordList();
    makeDictionary("english.lex", words);
    makeDictionary("names.lex", {"Ann", "Bob", "Cat", "Dan", "Eve"});
    makeDictionary("short.lex", {"a", "an", "at", "cat", "dog"});
    if (!app.start(temp.path().toStdString())) return 1;
    MainWindow* frame = app.frame();
    SearchPanel* client = frame->client();
    client->workspace().catalogue.setSelected("./lexicons/english.lex", true);
    frame->resize(760, 520);
    save(frame, "01-main-at-start");

    fill(client, "*", "painters", false);
    searchAndWait(client);
    save(frame, "02-main-single-word-results");

    // The analysis dialog, let through its pause gate a millisecond at a time until its
    // counters show some work, then held there while it is saved.
    fill(client, "* *", "lodgestar", true);
    whenReady([] { return modal<AnalysisDialog>() != nullptr; },
              [] {
                  SubsetAnalysis& analysis = modal<AnalysisDialog>()->analysis();
                  analysis.pause();
                  auto* stepper = new QTimer;
                  QObject::connect(stepper, &QTimer::timeout, [stepper, &analysis] {
                      auto* dialog = modal<AnalysisDialog>();
                      if (dialog != nullptr && dialog->wordsCheckedLabel()->text().toInt() < 2000) {
                          analysis.resume();
                          std::this_thread::sleep_for(std::chrono::milliseconds(1));
                          analysis.pause();
                          return;
                      }
                      save(dialog, "03-analysing-dictionaries");
                      analysis.resume();
                      stepper->deleteLater();
                  });
                  stepper->start(150);
              });
    searchAndWait(client);
    save(frame, "04-main-phrase-results");

    // The cancel question of a running search.
    fill(client, "*", "", false);
    whenReady([] { return modal<QMessageBox>() != nullptr; },
              [] {
                  save(modal<QMessageBox>(), "05-cancel-question");
                  modal<QMessageBox>()->button(QMessageBox::Yes)->click();
              });
    QTimer::singleShot(0, [client] { client->actions().exit->trigger(); });
    searchAndWait(client);

    // An input error.
    fill(client, "cat", "dog", true);
    whenReady([] { return modal<QMessageBox>() != nullptr; },
              [] {
                  save(modal<QMessageBox>(), "06-input-error");
                  modal<QMessageBox>()->button(QMessageBox::Ok)->click();
              });
    client->actions().search->trigger();

    // Bold 12 in the window's first-start size.
    fill(client, "???", "stare", false);
    searchAndWait(client);
    control<QCheckBox>(client, "bold")->click();
    control<QComboBox>(client, "size")->setCurrentIndex(2);
    emit control<QComboBox>(client, "size")->activated(2);
    frame->resize(frame->firstStartSize());
    save(frame, "07-main-first-start-size-bold-12");
    control<QCheckBox>(client, "bold")->click();
    control<QComboBox>(client, "size")->setCurrentIndex(0);
    emit control<QComboBox>(client, "size")->activated(0);
    frame->resize(1100, 700);
    save(frame, "08-main-wide-size-8");

    {
        DemoWork work(client->workspace().prompter);
        ProgressDialog dialog(frame, work);
        whenReady([&dialog, &work] { return dialog.shownOnScreen() && work.percent() > 35; },
                  [&dialog] {
                      save(&dialog, "09-progress");
                      dialog.reject();
                  });
        whenReady([] { return modal<QMessageBox>() != nullptr; },
                  [] {
                      save(modal<QMessageBox>(), "10-progress-cancel-question");
                      modal<QMessageBox>()->button(QMessageBox::Yes)->click();
                  });
        dialog.run();
    }
    {
        SelectDictionariesDialog dialog(client);
        dialog.list()->item(0)->setSelected(true);
        dialog.show();
        save(&dialog, "11-select-dictionaries");
    }
    {
        AboutDialog about(frame);
        about.show();
        save(&about, "12-about");
    }
    {
        ThreeButtonQuestion box(frame,
                                "results.ztr already exists\nDo you wish to overwrite or append to "
                                "the end of this file?",
                                "Confirm", "&Append", "&Overwrite", "&Cancel");
        box.show();
        save(&box, "13-three-button-question");
    }
    {
        MakeDictionaryDialog dialog(client);
        dialog.fileNameEdit()->setText(
            QStringLiteral("/home/user/Documents/word lists/crossword-words-2026.txt"));
        dialog.fileNameEdit()->setCursorPosition(dialog.fileNameEdit()->text().size());
        dialog.dictionaryNameEdit()->setText(QStringLiteral("crossword"));
        dialog.show();
        save(&dialog, "14-make-dictionary");
        ReminderBox reminder(client->workspace().settings, &dialog);
        reminder.show();
        save(&reminder, "15-unique-words-reminder");
    }
    {
        MergeDialog dialog(client);
        dialog.list()->item(0)->setSelected(true);
        dialog.list()->item(1)->setSelected(true);
        dialog.newNameEdit()->setText(QStringLiteral("everything"));
        dialog.show();
        save(&dialog, "16-merge-dictionaries");
    }
    for (const UpdateMode mode : {UpdateMode::kAdd, UpdateMode::kRemove}) {
        gui::WordDialog dialog(client, mode);
        dialog.wordEdit()->setText(QStringLiteral("quixotic"));
        dialog.dictionaryCombo()->setCurrentIndex(0);
        dialog.show();
        save(&dialog, mode == UpdateMode::kAdd ? "17-add-word" : "18-remove-word");
    }
    save(openHelp(HelpContext::kMakeDictionary, frame), "19-help");
    {
        PhraseOptionsDialog dialog(client, client->workspace().prompter,
                                   PhraseOptions{3, true, true});
        dialog.show();
        save(&dialog, "20-phrase-options");
        StoplistEdit words{{"Crt", "Esl", "Ln", "Ra", "sap"}, {}, {}, {}, {}, {}};
        editStoplistFile(kStoplistFileName, words);
        StoplistEditor editor(&dialog, client->workspace().prompter, kStoplistFileName);
        editor.show();
        save(&editor, "21-stoplist-editor");
    }
    // Phrase Options set from the menu, a phrase search they changed ("Filters on"), and what
    // a clicked match left over in the status bar.
    whenReady([] { return modal<PhraseOptionsDialog>() != nullptr; },
              [] {
                  auto* dialog = modal<PhraseOptionsDialog>();
                  dialog->minWordLength()->setValue(3);
                  dialog->eachWordOnce()->setChecked(true);
                  dialog->accept();
              });
    client->actions().phraseOptions->trigger();
    frame->resize(760, 520);
    fill(client, "* *", "painters", false);
    auto* suppress = control<QCheckBox>(client, "suppress");
    if (!suppress->isChecked()) suppress->click();
    searchAndWait(client);
    ResultsListView* list = control<ResultsListView>(client, "results");
    const QRect cell = list->visualRect(list->model()->index(2, 0));
    const QPointF at(cell.left() + list->rowDelegate()->tabStop() + 2, cell.center().y());
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &click);
    }
    save(frame, "22-main-filters-on-and-left-over");
    app.shutDown();
    return 0;
}
