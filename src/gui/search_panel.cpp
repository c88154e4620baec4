#include "gui/search_panel.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/search/match_explanation.h"
#include "core/search/subset_analysis.h"
#include "core/session/program_session.h"
#include "core/shell/ini_names.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"
#include "gui/about_dialog.h"
#include "gui/analysis_dialog.h"
#include "gui/command_ids.h"
#include "gui/dialog_parts.h"
#include "gui/help.h"
#include "gui/phrase_options_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/results_list.h"
#include "gui/search_form.h"

namespace zantric::gui {

namespace {

QString hint(int id) { return QString::fromStdString(loadString(id)); }

// The counts in messages, as the status bar shows counts.
std::string groupedText(long long count) { return groupedCount(count).toStdString(); }

// How long the status bar says what a field takes after it refused a key.
constexpr int kKeyHintMs = 5000;

}  // namespace

SearchPanel::SearchPanel(QWidget* parent)
    : QWidget(parent),
      m_run(m_request, m_results),
      m_form(new SearchForm(m_request, m_results, this)),
      m_resultsFiles(this, m_form, m_results),
      m_dictionaries(this, m_request),
      m_commands(commandTable()) {
    m_phraseOptions = readPhraseOptions();
    setCountFormat(groupedText);
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);  // the form keeps the usual margins itself
    layout->addWidget(m_form);
    connect(m_form, &SearchForm::commandRequested, this, &SearchPanel::command);
    connect(m_form, &SearchForm::keyRefused, this, [this](int hintId) {
        if (m_statusBar != nullptr) m_statusBar->showMessage(hint(hintId), kKeyHintMs);
    });
    connect(m_form->list(), &ResultsListView::matchHighlighted, this, &SearchPanel::explainMatch);
}

SearchPanel::~SearchPanel() {
    m_searchTimer.stop();
    if (m_searching) m_run.cancel();
    m_run.join();
}

void SearchPanel::attachStatusBar(QStatusBar* bar, QLabel* found, QLabel* checked) {
    m_statusBar = bar;
    m_foundPane = found;
    m_checkedPane = checked;
    m_filtersPane = new QLabel(hint(kStrFiltersOn), bar);
    m_filtersPane->setProperty("controlId", kIdFiltersPane);
    m_filtersPane->setObjectName(QStringLiteral("filters"));
    m_filtersPane->setFrameShape(QFrame::Panel);
    m_filtersPane->setFrameShadow(QFrame::Sunken);
    bar->insertPermanentWidget(0, m_filtersPane);
    m_filtersPane->hide();
    // The message pane keeps its width when "Filters on" shows beside the counters.
    bar->setMinimumWidth(bar->minimumWidth() + m_filtersPane->sizeHint().width() +
                         bar->fontMetrics().height());
}

void SearchPanel::setUp() {
    m_histories.find.push("*");
    m_form->showHistories(m_histories);
    clearAll();
    m_form->list()->relayout();
    m_form->restoreFont();
}

QFont SearchPanel::currentFont() const { return m_form->currentFont(); }

// --- Commands ---------------------------------------------------------------------------------

std::vector<SearchPanel::Command> SearchPanel::commandTable() {
    return {
        {kCmdStart, kNotSearching, [this] { startSearch(); }},
        {kCmdExit, kAlways, [this] { exitCommand(); }},
        {kCmdClearAll, kNotSearching, [this] { clearAll(); }},
        {kCmdView, kNotSearching,
         [this] {
             if (m_resultsFiles.view()) emit commandStateChanged();
         }},
        {kCmdDeleteResults, kNotSearching | kOnlyCopy | kResultsOpen,
         [this] { m_resultsFiles.deleteShown(); }},
        {kCmdSaveAs, kNotSearching | kResultsListed,
         [this] {
             if (m_resultsFiles.saveAs(summary())) emit commandStateChanged();
         }},
        {kCmdSelectDictionaries, kNotSearching, [this] { m_dictionaries.select(); }},
        {kCmdAddWord, kNotSearching | kOnlyCopy, [this] { m_dictionaries.changeWord(true); }},
        {kCmdRemoveWord, kNotSearching | kOnlyCopy, [this] { m_dictionaries.changeWord(false); }},
        {kCmdMerge, kNotSearching | kOnlyCopy, [this] { m_dictionaries.merge(); }},
        {kCmdCreateFromFile, kNotSearching | kOnlyCopy, [this] { m_dictionaries.makeFromFile(); }},
        {kCmdDeleteDictionaries, kNotSearching | kOnlyCopy,
         [this] { m_dictionaries.deleteHighlighted(); }},
        {kCmdShowDetails, kAlways, [this] { m_dictionaries.showDetails(); }},
        {kCmdPhraseOptions, kNotSearching, [this] { phraseOptionsCommand(); }},
        {kCmdHelp, kAlways, [this] { openHelp(kHelpContents, window()); }},
        {kCmdAbout, kAlways,
         [this] {
             AboutDialog about(this);
             about.exec();
         }},
    };
}

const SearchPanel::Command* SearchPanel::findCommand(int id) const {
    for (const Command& c : m_commands) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

bool SearchPanel::holds(unsigned conditions) const {
    // In this order: the folder of instance markers is read only when it matters.
    if ((conditions & kNotSearching) && m_searching) return false;
    if ((conditions & kOnlyCopy) && ProgramSession::anotherCopyRunning()) return false;
    if ((conditions & kResultsOpen) && !m_results.isOpen()) return false;
    if ((conditions & kResultsListed) && m_results.count() <= 0) return false;
    return true;
}

bool SearchPanel::commandEnabled(int id) const {
    const Command* c = findCommand(id);
    return c == nullptr || holds(c->enabledWhen);
}

void SearchPanel::showCommandState(QAction* action, int id) const {
    const Command* c = findCommand(id);
    const unsigned conditions = c != nullptr ? c->enabledWhen : kAlways;
    const bool otherCopy = (conditions & kOnlyCopy) && ProgramSession::anotherCopyRunning();
    action->setEnabled(!otherCopy && holds(conditions & ~kOnlyCopy));
    const QString why =
        otherCopy ? hint(id == kCmdDeleteResults ? kStrOtherCopyResults : kStrOtherCopyDictionaries)
                  : QString();
    action->setStatusTip(why.isEmpty() ? hint(id) : why);
    action->setToolTip(why);
}

void SearchPanel::command(int id) {
    const Command* c = findCommand(id);
    if (c == nullptr) return;
    if (!holds(c->enabledWhen)) {
        if (id == kCmdStart) prompter().beep();  // Start pressed again while the search runs
        return;
    }
    c->run();
}

void SearchPanel::setStatusText(int stringId) {
    if (m_statusBar != nullptr) m_statusBar->showMessage(hint(stringId));
}

void SearchPanel::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    auto add = [this](QMenu* to, int captionId, int commandId) {
        QAction* action = to->addAction(hint(captionId));
        showCommandState(action, commandId);
        connect(action, &QAction::triggered, this, [this, commandId] { command(commandId); });
    };
    QMenu* dictionaries = menu.addMenu(hint(kStrMenuDictionaries));
    for (QMenu* m : {&menu, dictionaries}) m->setToolTipsVisible(true);
    add(dictionaries, kStrMenuSelect, kCmdSelectDictionaries);
    dictionaries->addSeparator();
    add(dictionaries, kStrMenuAddWord, kCmdAddWord);
    add(dictionaries, kStrMenuRemoveWord, kCmdRemoveWord);
    add(dictionaries, kStrMenuMerge, kCmdMerge);
    add(dictionaries, kStrMenuCreateFromFile, kCmdCreateFromFile);
    menu.addSeparator();
    add(&menu, kStrMenuClearAll, kCmdClearAll);
    add(&menu, kStrMenuView, kCmdView);
    add(&menu, kStrMenuDeleteResults, kCmdDeleteResults);
    add(&menu, kStrMenuSaveAs, kCmdSaveAs);
    menu.addSeparator();
    add(&menu, kStrMenuSearch, kCmdStart);
    menu.addSeparator();
    add(&menu, kStrMenuExit, kCmdExit);
    connect(&menu, &QMenu::aboutToHide, this, [this] {
        if (m_statusBar != nullptr) m_statusBar->clearMessage();
    });
    menu.exec(event->globalPos());
}

void SearchPanel::phraseOptionsCommand() {
    PhraseOptionsDialog dialog(this, m_phraseOptions);
    if (dialog.exec() != QDialog::Accepted) return;
    m_phraseOptions = dialog.options();
    writePhraseOptions(m_phraseOptions);
}

SearchSummary SearchPanel::summary() const {
    return {m_form->fields(), m_results.count(), m_checked};
}

void SearchPanel::explainMatch(const QString& match) {
    const ResultsHeader& header = m_results.header();
    const LetterPool from = searchedFromLetters(header.fields.find, header.fields.from,
                                                header.fields.useAllFromLetters);
    // Without FROM letters there is nothing to explain; using them all without blanks leaves
    // nothing over.
    if (m_statusBar == nullptr || from.total() == 0 ||
        (header.fields.useAllFromLetters && from.countOf('?') == 0)) {
        return;
    }
    const MatchExplanation explanation = zantric::explainMatch(match.toStdString(), from);
    QString text =
        match + QStringLiteral("  left: ") +
        (explanation.left.empty() ? QStringLiteral("-") : QString::fromStdString(explanation.left));
    if (!explanation.blanks.empty()) {
        text += QStringLiteral("  blanks: ") + QString::fromStdString(explanation.blanks);
    }
    m_statusBar->showMessage(text);
}

// --- Search -----------------------------------------------------------------------------------

void SearchPanel::startSearch() {
    if (m_searchTimer.isActive() && !m_searching) completeSearch();
    m_histories.update(m_form->fields());
    m_form->showHistories(m_histories);
    const SearchFields request = m_form->fields();
    showFiltersOn(false);
    m_request.setFilters(filtersFor(m_phraseOptions));
    // The ini's match limit, as it is now; 0 or less is none.
    m_run.setMatchLimit(Settings::instance().readInt(ini::kSearchSection, ini::kMatchLimit, 0));
    // The ini's search threads; 0 or less is one per core.
    m_run.setThreads(Settings::instance().readInt(ini::kSearchSection, ini::kThreads, 0));
    const StartOutcome outcome = m_run.prepare(request);
    if (outcome == StartOutcome::kNoDictionary) {
        QMetaObject::invokeMethod(
            this, [this] { command(kCmdSelectDictionaries); }, Qt::QueuedConnection);
        return;
    }
    m_form->list()->relayout();  // the store was reset
    if (outcome != StartOutcome::kReady) return;

    enterSearchingState();
    if (m_request.multiWord() && m_run.analysisNeeded()) {
        SubsetAnalysis analysis(m_request.fromLetters());
        AnalysisDialog dialog(this, m_run, analysis);
        emit analysisStarted();
        if (dialog.exec() != 1) {
            m_request.clearAnalysedLetters();
            leaveSearchingState();
            return;
        }
    }
    m_searchTimer.start(kSearchTimerMs, this);
    try {
        m_run.startWorker([this] {
            QMetaObject::invokeMethod(this, &SearchPanel::searchFinished, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_searchTimer.stop();
        prompter().beep();
        prompter().ask(
            Message::fromIds(kStrUnableToCreateThread, kStrErrorTitle, MessageKind::kPlain));
        leaveSearchingState();
        QCoreApplication::quit();
    }
}

void SearchPanel::enterSearchingState() {
    m_searching = true;
    setStatusText(kStrSearching);
    showCounters(0, 0);
    m_form->setSearching(true);
    emit commandStateChanged();
}

void SearchPanel::leaveSearchingState() {
    m_searching = false;
    m_stopping = false;
    setStatusText(kStrSearchingCompleted);
    m_form->setSearching(false);
    emit commandStateChanged();
}

void SearchPanel::searchFinished() {
    if (!m_searching) return;
    // The results are finished at once, before the status bar says so: once it reads "Searching
    // Completed", Found, the list and the results files are final.
    completeSearch();
    if (m_stopping) {
        // Escape and Cancel pressed while the results were being finished wait in the queue:
        // they go now, while the search still counts as stopping, so that they close nothing.
        QCoreApplication::processEvents();
    }
    leaveSearchingState();
    showEndNote(m_run.cancelled());
    m_run.reportStop();
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        exitCommand();
    }
}

namespace {

// The text for one match, else the text for `count` of them, its digits grouped as the user's
// locale groups them.
std::string matchCountText(std::int64_t count, int oneId, int manyId) {
    return count == 1 ? loadString(oneId)
                      : loadString(manyId,
                                   QLocale().toString(static_cast<qlonglong>(count)).toStdString());
}

}  // namespace

void SearchPanel::showEndNote(bool cancelled) {
    if (m_statusBar == nullptr) return;
    // A cancelled search keeps the matches found so far.
    const std::string note =
        cancelled
            ? matchCountText(m_results.count(), kStrSearchCancelledKeptOne, kStrSearchCancelledKept)
            : m_run.limitText();
    if (!note.empty()) m_statusBar->showMessage(QString::fromStdString(note));
}

void SearchPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_searchTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    refreshCounters();
    if (!m_searching) completeSearch();
}

void SearchPanel::completeSearch() {
    m_searchTimer.stop();
    m_resultsUnsaved = true;
    m_searchDataName = m_results.dataName();
    refreshCounters();
    if (window()->isMinimized()) {
        window()->setWindowTitle(QString::fromLatin1(kFrameTitle));
        m_titleShowsCount = false;
    }
    m_run.finish(m_form->fields());
    // As the results record them, so that viewing them later shows the same.
    showTotals(m_run.found(), m_run.checked(), m_run.filtersInEffect().any());
    m_form->list()->goToFirstRow();
    emit commandStateChanged();
    emit searchCompleted();
}

void SearchPanel::showTotals(std::int64_t found, std::int64_t checked, bool filtersOn) {
    m_checked = checked;
    showCounters(found, checked);
    showFiltersOn(filtersOn);
}

void SearchPanel::showFiltersOn(bool on) {
    if (m_filtersPane != nullptr) m_filtersPane->setVisible(on);
}

void SearchPanel::showCounters(std::int64_t found, std::int64_t checked) {
    if (m_foundPane != nullptr)
        m_foundPane->setText(QStringLiteral("Found: ") + groupedCount(found));
    if (m_checkedPane != nullptr)
        m_checkedPane->setText(QStringLiteral("Checked: ") + groupedCount(checked));
}

void SearchPanel::refreshCounters() {
    QWidget* frame = window();
    if (frame->isMinimized()) {
        frame->setWindowTitle(QStringLiteral("Found: ") + groupedCount(m_run.found()));
        m_titleShowsCount = true;
        return;
    }
    if (m_titleShowsCount) {
        frame->setWindowTitle(QString::fromLatin1(kFrameTitle));
        m_titleShowsCount = false;
    }
    if (m_searching) showCounters(m_run.found(), m_run.checked());
}

void SearchPanel::askCancelSearch() {
    if (m_askingCancel) return;
    m_askingCancel = true;
    m_searchTimer.stop();
    m_run.pause();
    const Answer answer = prompter().ask(Message::fromIds(
        kStrCancelSearchQuestion, kStrConfirmTitle, MessageKind::kPlain, Buttons::kYesNo));
    // The flag is set before the worker goes on, so that it stops at the very next word.
    if (answer == Answer::kYes) stopSearch();
    m_run.resume();
    if (m_searching) m_searchTimer.start(kSearchTimerMs, this);
    m_askingCancel = false;
}

// --- Clear All and closing -------------------------------------------------------------------

void SearchPanel::clearAll() {
    m_form->clearFields();
    showTotals(0, 0, false);
    if (m_statusBar != nullptr) m_statusBar->clearMessage();
    m_form->updateForPattern();
    m_results.reset();
    m_form->list()->relayout();
    emit commandStateChanged();
}

void SearchPanel::stopSearch() {
    m_stopping = true;
    m_run.cancel();
}

void SearchPanel::endWithoutAsking() {
    if (m_searching) {
        stopSearch();  // the worker's end leaves the searching state
        return;
    }
    if (!m_handlingExit) closeNow();
}

void SearchPanel::closeBox() {
    if (!m_searching) {
        exitCommand();
        return;
    }
    m_closeWhenStopped = true;
    if (!m_stopping && !m_askingCancel) stopSearch();
}

std::int64_t SearchPanel::unsavedMatches() const {
    if (!m_resultsUnsaved || m_results.dataName() != m_searchDataName) return 0;
    return m_results.count();
}

void SearchPanel::exitCommand() {
    if (m_handlingExit) return;
    if (m_searching) {
        // Escape or Cancel while the search stops waits for it: it never closes the window.
        if (!m_stopping) askCancelSearch();
        return;
    }
    m_handlingExit = true;
    if (!discardConfirmed()) {
        m_handlingExit = false;
        return;
    }
    closeNow();
}

bool SearchPanel::discardConfirmed() {
    const std::int64_t unsaved = unsavedMatches();
    Settings& config = Settings::instance();
    if (unsaved <= 0 || config.readInt(ini::kRemindersSection, ini::kDiscardWarning, 0) == 1) {
        return true;
    }
    QMessageBox box(
        QMessageBox::Question, hint(kStrConfirmTitle),
        QString::fromStdString(matchCountText(unsaved, kStrDiscardUnsavedOne, kStrDiscardUnsaved)),
        QMessageBox::Yes | QMessageBox::No, window());
    box.setDefaultButton(QMessageBox::No);  // a stray Enter keeps the matches
    auto* dontAsk = new QCheckBox(hint(kStrDontAskAgain), &box);
    box.setCheckBox(dontAsk);
    if (box.exec() != QMessageBox::Yes) return false;
    if (dontAsk->isChecked()) config.writeString(ini::kRemindersSection, ini::kDiscardWarning, "1");
    return true;
}

void SearchPanel::closeNow() {
    m_handlingExit = true;
    if (m_searchTimer.isActive()) completeSearch();
    clearAll();
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_handlingExit = false;
            emit closeRequested();
        },
        Qt::QueuedConnection);
}

}  // namespace zantric::gui
