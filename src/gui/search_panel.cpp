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
#include <utility>

#include "core/dictionary/catalogue.h"
#include "core/search/match_explanation.h"
#include "core/search/subset_analysis.h"
#include "core/search/typed_accents.h"
#include "core/session/program_session.h"
#include "core/shell/ini_names.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "gui/about_dialog.h"
#include "gui/analysis_dialog.h"
#include "gui/dialog_parts.h"
#include "gui/help.h"
#include "gui/phrase_options_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/results_list.h"
#include "gui/search_form.h"

namespace zantric::gui {

namespace {

QString hint(int id) { return QString::fromStdString(loadString(id)); }

// A ranked match's text as the list shows it.
QString textOf(const RankedMatch& match) {
    return QString::fromLatin1(match.text.data(), static_cast<qsizetype>(match.text.size()));
}

// How long the status bar says what a field takes after it refused a key.
constexpr int kKeyHintMs = 5000;

}  // namespace

SearchPanel::SearchPanel(Workspace workspace, QWidget* parent)
    : QWidget(parent),
      m_request(workspace),
      m_results(workspace.settings, workspace.prompter),
      m_run(m_request, m_results),
      m_form(new SearchForm(m_request, m_results, m_run, this)),
      m_resultsFiles(this, m_form, m_results),
      m_dictionaries(this, m_request) {
    createActions();
    m_phraseOptions = readPhraseOptions(workspace.settings);
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);  // the form keeps the usual margins itself
    layout->addWidget(m_form);
    connect(m_form, &SearchForm::startRequested, this, &SearchPanel::requestStart);
    connect(m_form, &SearchForm::cancelRequested, m_actions.exit, &QAction::trigger);
    connect(m_form, &SearchForm::keyRefused, this, [this](const QString& text) {
        if (m_statusBar != nullptr) m_statusBar->showMessage(text, kKeyHintMs);
    });
    connect(m_form->list(), &ResultsListView::matchHighlighted, this, &SearchPanel::explainMatch);
    m_actions.bestFirst->setChecked(
        workspace.settings.readInt(ini::kSearchSection, ini::kBestFirst, 0) != 0);
    m_form->bestFirst()->setChecked(m_actions.bestFirst->isChecked());
    connect(m_form->bestFirst(), &QCheckBox::clicked, m_actions.bestFirst, &QAction::setChecked);
    connect(m_actions.bestFirst, &QAction::toggled, this, &SearchPanel::bestFirstToggled);
}

SearchPanel::~SearchPanel() {
    m_searchTimer.stop();
    if (m_searching) m_run.cancel();
    m_run.join();
    m_results.setLineSink(nullptr, true);  // the ranking's lines go before the store
}

void SearchPanel::attachStatusBar(QStatusBar* bar, QLabel* found, QLabel* checked) {
    m_statusBar = bar;
    m_foundPane = found;
    m_checkedPane = checked;
    m_filtersPane = new QLabel(hint(kStrFiltersOn), bar);
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

QAction* SearchPanel::makeAction(const char* name, const QString& text, const QString& tip,
                                 void (SearchPanel::*run)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(tip);
    m_tips.insert(action, tip);
    if (run != nullptr) connect(action, &QAction::triggered, this, run);
    return action;
}

void SearchPanel::createActions() {
    WindowActions& a = m_actions;
    a.search = makeAction("actionSearch", tr("&Search"), tr("Begin the Search"),
                          &SearchPanel::startSearch);
    a.clearAll = makeAction("actionClearAll", tr("&Clear All"), tr("Clear All Entries"),
                            &SearchPanel::clearAll);
    a.clearAll->setShortcut(QKeySequence(Qt::Key_F3));
    a.view = makeAction("actionView", tr("&View..."), tr("View saved search results."),
                        &SearchPanel::viewCommand);
    a.deleteResults = makeAction("actionDeleteResults", tr("&Delete Results"), tr("Delete Results"),
                                 &SearchPanel::deleteResultsCommand);
    a.saveAs = makeAction("actionSaveAs", tr("Save &As..."), tr("Save results for future use."),
                          &SearchPanel::saveAsCommand);
    a.exit = makeAction("actionExit", tr("E&xit"), tr("Exit Zantric"), &SearchPanel::exitCommand);
    // Each dictionary command opens a dialog, as its "…" says.
    a.selectDictionaries = makeAction("actionSelectDictionaries", tr("&Select…"),
                                      tr("Select which dictionaries to use."),
                                      &SearchPanel::selectDictionariesCommand);
    a.addWord = makeAction("actionAddWord", tr("&Add Word…"), tr("Add a new word to a dictionary."),
                           &SearchPanel::addWordCommand);
    a.removeWord =
        makeAction("actionRemoveWord", tr("&Remove Word…"), tr("Remove a word from a dictionary."),
                   &SearchPanel::removeWordCommand);
    a.merge =
        makeAction("actionMerge", tr("&Merge…"), tr("Merge two or more dictionaries together."),
                   &SearchPanel::mergeCommand);
    a.createFromFile = makeAction("actionCreateFromFile", tr("&Create From File…"),
                                  tr("Create a new dictionary from a list of words."),
                                  &SearchPanel::createFromFileCommand);
    a.deleteDictionaries =
        makeAction("actionDeleteDictionaries", tr("&Delete Dictionaries"),
                   tr("Delete highlighted Dictionaries"), &SearchPanel::deleteDictionariesCommand);
    a.phraseOptions =
        makeAction("actionPhraseOptions", tr("&Phrase Options…"),
                   tr("Set the filters of phrase searches."), &SearchPanel::phraseOptionsCommand);
    a.bestFirst = makeAction("actionBestFirst", tr("&Best First"),
                             tr("List the best matches first."), nullptr);
    a.bestFirst->setCheckable(true);
    a.help = makeAction("actionHelp", tr("Zantric Help"), tr("View Zantric Help file."),
                        &SearchPanel::helpCommand);
    a.about =
        makeAction("actionAbout", tr("&About..."), tr("About Zantric"), &SearchPanel::aboutCommand);
    connect(this, &SearchPanel::commandStateChanged, this, &SearchPanel::updateActions);
}

void SearchPanel::updateActions() {
    const WindowActions& a = m_actions;
    const bool idle = !m_searching;
    for (QAction* action :
         {a.search, a.clearAll, a.view, a.selectDictionaries, a.phraseOptions, a.bestFirst}) {
        action->setEnabled(idle);
    }
    a.saveAs->setEnabled(idle && m_results.count() > 0);
    // Reads the folder of instance markers.
    const bool otherCopy = anotherCopyRunning(workspace().settings);
    const auto onlyCopy = [this, otherCopy](QAction* action, bool enabled, const QString& note) {
        const QString why = otherCopy ? note : QString();
        action->setEnabled(enabled && !otherCopy);
        action->setStatusTip(otherCopy ? why : m_tips.value(action));
        action->setToolTip(why);
    };
    onlyCopy(a.deleteResults, idle && m_results.isOpen(),
             tr("Another copy of Zantric is running; close it to delete results"));
    const QString dictionariesNote =
        tr("Another copy of Zantric is running; close it to change dictionaries");
    for (QAction* action :
         {a.addWord, a.removeWord, a.merge, a.createFromFile, a.deleteDictionaries}) {
        onlyCopy(action, idle, dictionariesNote);
    }
}

void SearchPanel::requestStart() {
    if (m_actions.search->isEnabled()) {
        m_actions.search->trigger();
    } else {
        workspace().prompter.beep();  // Start pressed again while the search runs
    }
}

void SearchPanel::viewCommand() {
    if (!m_resultsFiles.view()) return;
    m_form->list()->resultsModel()->setScores({});
    if (m_statusBar != nullptr && m_results.header().filters.ranked)
        m_statusBar->showMessage(tr("Ranked results: the best first"));
    emit commandStateChanged();
}

void SearchPanel::saveAsCommand() {
    if (m_resultsFiles.saveAs(summary())) emit commandStateChanged();
}

void SearchPanel::deleteResultsCommand() { m_resultsFiles.deleteShown(); }
void SearchPanel::selectDictionariesCommand() { m_dictionaries.select(); }
void SearchPanel::addWordCommand() { m_dictionaries.changeWord(true); }
void SearchPanel::removeWordCommand() { m_dictionaries.changeWord(false); }
void SearchPanel::mergeCommand() { m_dictionaries.merge(); }
void SearchPanel::createFromFileCommand() { m_dictionaries.makeFromFile(); }
void SearchPanel::deleteDictionariesCommand() { m_dictionaries.deleteHighlighted(); }
void SearchPanel::helpCommand() { openHelp(HelpContext::kContents, window()); }

void SearchPanel::aboutCommand() {
    AboutDialog about(this);
    about.exec();
}

void SearchPanel::setStatusText(int stringId) {
    if (m_statusBar != nullptr) m_statusBar->showMessage(hint(stringId));
}

void SearchPanel::contextMenuEvent(QContextMenuEvent* event) {
    const WindowActions& a = m_actions;
    updateActions();
    QMenu menu(this);
    QMenu* dictionaries = menu.addMenu(tr("&Dictionaries"));
    for (QMenu* m : {&menu, dictionaries}) m->setToolTipsVisible(true);
    dictionaries->addAction(a.selectDictionaries);
    dictionaries->addSeparator();
    dictionaries->addActions({a.addWord, a.removeWord, a.merge, a.createFromFile});
    menu.addSeparator();
    menu.addActions({a.clearAll, a.view, a.deleteResults, a.saveAs});
    menu.addSeparator();
    menu.addAction(a.search);
    menu.addSeparator();
    menu.addAction(a.exit);
    connect(&menu, &QMenu::aboutToHide, this, [this] {
        if (m_statusBar != nullptr) m_statusBar->clearMessage();
    });
    menu.exec(event->globalPos());
}

void SearchPanel::phraseOptionsCommand() {
    PhraseOptionsDialog dialog(this, workspace().prompter, m_phraseOptions);
    if (dialog.exec() != QDialog::Accepted) return;
    m_phraseOptions = dialog.options();
    writePhraseOptions(workspace().settings, m_phraseOptions);
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
        tr("%1  left: %2")
            .arg(match, explanation.left.empty() ? QStringLiteral("-")
                                                 : QString::fromStdString(explanation.left));
    if (!explanation.blanks.empty()) {
        text += tr("  blanks: %1").arg(QString::fromStdString(explanation.blanks));
    }
    m_statusBar->showMessage(text);
}

// --- Search -----------------------------------------------------------------------------------

void SearchPanel::startSearch() {
    if (m_searchTimer.isActive() && !m_searching) completeSearch();
    m_histories.update(m_form->fields());
    m_form->showHistories(m_histories);
    showFiltersOn(false);
    PhraseFilters filters = filtersFor(workspace().prompter, m_phraseOptions);
    if (!prepareRanking(filters)) return;
    m_request.setFilters(std::move(filters));
    const SearchFields request = m_form->fields();
    // The ini's match limit, as it is now; 0 or less is none.
    m_run.setMatchLimit(workspace().settings.readInt(ini::kSearchSection, ini::kMatchLimit, 0));
    // The ini's search threads; 0 or less is one per core.
    m_run.setThreads(workspace().settings.readInt(ini::kSearchSection, ini::kThreads, 0));
    const StartOutcome outcome = m_run.prepare(request);
    if (outcome == StartOutcome::kNoDictionary) {
        QMetaObject::invokeMethod(
            this, [this] { m_actions.selectDictionaries->trigger(); }, Qt::QueuedConnection);
        return;
    }
    m_form->list()->resultsModel()->setSpellings(selectedSpellings(workspace().catalogue));
    m_form->list()->relayout();  // the store was reset
    if (outcome != StartOutcome::kReady) return;

    enterSearchingState();
    if (m_request.multiWord() && m_run.analysisNeeded()) {
        SubsetAnalysis analysis(workspace(), m_request.fromLetters());
        AnalysisDialog dialog(this, workspace().prompter, m_run, analysis);
        emit analysisStarted();
        if (dialog.exec() != 1) {
            m_request.clearAnalysedLetters();
            leaveSearchingState();
            return;
        }
    }
    startRanking();
    m_liveTicks = 0;
    m_searchTimer.start(kSearchTimerMs, this);
    try {
        m_run.startWorker([this] {
            QMetaObject::invokeMethod(this, &SearchPanel::searchFinished, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_searchTimer.stop();
        workspace().prompter.beep();
        workspace().prompter.ask(
            Message::fromIds(kStrUnableToCreateThread, kStrErrorTitle, MessageKind::kPlain));
        leaveSearchingState();
        QCoreApplication::quit();
    }
}

void SearchPanel::enterSearchingState() {
    m_searching = true;
    if (m_statusBar != nullptr) m_statusBar->showMessage(searchingText());
    showCounters(0, 0);
    m_form->setSearching(true);
    emit commandStateChanged();
}

void SearchPanel::leaveSearchingState() {
    m_searching = false;
    m_stopping = false;
    if (m_statusBar != nullptr) m_statusBar->showMessage(searchCompletedText());
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

// The text for one match, else the text for `count` of them (`many`, whose %1 is the count), its
// digits grouped as the user's locale groups them.
QString matchCountText(std::int64_t count, const QString& one, const QString& many) {
    return count == 1 ? one : many.arg(QLocale().toString(static_cast<qlonglong>(count)));
}

}  // namespace

void SearchPanel::showEndNote(bool cancelled) {
    if (m_statusBar == nullptr) return;
    if (!m_unrankedNote.isEmpty()) {
        m_statusBar->showMessage(std::exchange(m_unrankedNote, QString()));
        return;
    }
    // A cancelled search keeps the matches found so far.
    const QString note =
        cancelled ? matchCountText(m_results.count(), tr("Search cancelled – 1 match kept"),
                                   tr("Search cancelled – %1 matches kept"))
                  : QString::fromStdString(m_run.limitText());
    if (!note.isEmpty()) m_statusBar->showMessage(note);
}

void SearchPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_searchTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    refreshCounters();
    // The best so far twice a second: each look ranks the pool while the search waits.
    constexpr int kTicksPerLook = 5;
    if (m_searching && m_ranked && ++m_liveTicks % kTicksPerLook == 0) showBestSoFar();
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
    finishRanking();  // Found stays the search's when its best are shown
    m_form->list()->goToFirstRow();
    emit commandStateChanged();
    emit searchCompleted();
}

void SearchPanel::showTotals(std::int64_t found, std::int64_t checked, bool filtersOn) {
    m_checked = checked;
    m_found = found;
    showCounters(found, checked);
    showFiltersOn(filtersOn);
}

void SearchPanel::showFiltersOn(bool on) {
    if (m_filtersPane != nullptr) m_filtersPane->setVisible(on);
}

void SearchPanel::showCounters(std::int64_t found, std::int64_t checked) {
    if (m_foundPane != nullptr) m_foundPane->setText(tr("Found: %1").arg(groupedCount(found)));
    if (m_checkedPane != nullptr)
        m_checkedPane->setText(tr("Checked: %1").arg(groupedCount(checked)));
}

void SearchPanel::refreshCounters() {
    QWidget* frame = window();
    if (frame->isMinimized()) {
        // The best of a ranked search are fewer than it found.
        const std::int64_t found = m_ranked && !m_searching ? m_found : m_run.found();
        frame->setWindowTitle(tr("Found: %1").arg(groupedCount(found)));
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
    const Answer answer = workspace().prompter.ask(Message::fromIds(
        kStrCancelSearchQuestion, kStrConfirmTitle, MessageKind::kPlain, Buttons::kYesNo));
    // The flag is set before the worker goes on, so that it stops at the very next word.
    if (answer == Answer::kYes) stopSearch();
    m_run.resume();
    if (m_searching) m_searchTimer.start(kSearchTimerMs, this);
    m_askingCancel = false;
}

// --- Best first ------------------------------------------------------------------------------

bool SearchPanel::prepareRanking(PhraseFilters& filters) {
    RankingOptions options;
    options.best = m_actions.bestFirst->isChecked() ? m_phraseOptions.bestShown : 0;
    options.common = m_phraseOptions.common;
    options.language = languageOfSelected(workspace().catalogue);
    const RankingSources::ReadNotes notes = m_ranking.read(options);
    if (!notes.failure.empty()) {
        workspace().prompter.tell(
            {notes.failure, loadString(kStrErrorTitle), MessageKind::kWarning});
        return false;
    }
    m_ranking.filter(options.common, filters);
    m_ranked = options.best > 0 && m_ranking.ranked();
    if (!notes.unranked.empty() && !m_unrankedTold) {
        m_unrankedNote = QString::fromStdString(notes.unranked);
        m_unrankedTold = true;
    }
    m_results.setLineSink(m_ranked ? &m_rankingLines : nullptr, true);
    return true;
}

void SearchPanel::startRanking() {
    m_keeper.reset();
    m_run.keepBestSetsIn(nullptr);
    if (!m_ranked) return;
    Ranker& ranker = m_ranker.emplace(m_ranking.rankerFor(m_phraseOptions.bestShown, m_request));
    // A search that can be bounded hands the ranker only its best sets of words, any other every
    // match it stores.
    if (m_run.boundable()) m_run.keepBestSetsIn(&m_keeper.emplace(ranker));
    m_rankingLines.rankWith(m_keeper ? nullptr : &ranker);
}

void SearchPanel::showBestSoFar() {
    QStringList texts;
    QHash<QString, double> scores;
    for (const RankedMatch& match : m_keeper ? m_keeper->bestSoFar() : m_rankingLines.bestSoFar()) {
        const QString text = textOf(match);
        texts << text;
        scores.insert(text, match.score);
    }
    m_form->list()->resultsModel()->setScores(std::move(scores));
    m_form->list()->showBestSoFar(texts);
}

void SearchPanel::finishRanking() {
    ResultsListView* list = m_form->list();
    list->showBestSoFar({});
    m_scores.clear();
    list->resultsModel()->setScores({});
    if (!m_ranked || !m_ranker) return;
    m_foundPair[0] = m_results.dataName();
    m_foundPair[1] = m_results.indexName();
    const std::vector<RankedMatch> best = m_ranker->best();  // the worker has ended
    if (best.empty()) return;
    if (!m_bestResults) {
        const std::filesystem::path base = uniqueTempName(workspace().settings);
        m_bestResults = std::make_unique<ResultsStore>(
            replaceExtension(base, "ztr"), replaceExtension(base, "zix"), workspace().prompter);
    }
    try {
        m_bestResults->reset();
        for (const RankedMatch& match : best) {
            m_bestResults->append(match.text, true);
            m_scores.insert(textOf(match), match.score);
        }
        RecordedFilters filters = m_run.filtersInEffect();
        filters.ranked = true;
        m_bestResults->finish({m_form->fields(), 0, m_run.checked()}, filters);
    } catch (const ZantricException& e) {
        workspace().prompter.tell(noticeOrException(e));
        m_bestResults->reset();
        return;
    }
    showOrder(true);
}

void SearchPanel::bestFirstToggled(bool on) {
    m_form->bestFirst()->setChecked(on);
    workspace().settings.writeString(ini::kSearchSection, ini::kBestFirst, on ? "1" : "0");
    // After a ranked search the same box shows its matches in the order found, and back.
    if (m_searching || !m_bestResults || !m_bestResults->isOpen()) return;
    const std::filesystem::path& shown = m_results.dataName();
    if (shown == m_foundPair[0] || shown == m_bestResults->dataName()) showOrder(on);
}

void SearchPanel::showOrder(bool best) {
    const std::filesystem::path data = best ? m_bestResults->dataName() : m_foundPair[0];
    const std::filesystem::path index = best ? m_bestResults->indexName() : m_foundPair[1];
    if (m_results.dataName() == data) return;
    const bool theSearch = m_results.dataName() == m_searchDataName;
    if (!m_results.openPair(data, index)) return;
    if (theSearch) m_searchDataName = m_results.dataName();
    m_form->list()->resultsModel()->setScores(best ? m_scores : QHash<QString, double>());
    m_form->list()->goToFirstRow();
    if (m_statusBar != nullptr && !m_searching) {
        m_statusBar->showMessage(best ? tr("The best %1 first").arg(groupedCount(m_results.count()))
                                      : tr("Every match in the order found"));
    }
    emit commandStateChanged();
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
    const Settings& config = workspace().settings;
    if (unsaved <= 0 || config.readInt(ini::kRemindersSection, ini::kDiscardWarning, 0) == 1) {
        return true;
    }
    QMessageBox box(
        QMessageBox::Question, hint(kStrConfirmTitle),
        matchCountText(unsaved, tr("Discard 1 unsaved match?"), tr("Discard %1 unsaved matches?")),
        QMessageBox::Yes | QMessageBox::No, window());
    box.setDefaultButton(QMessageBox::No);  // a stray Enter keeps the matches
    auto* dontAsk = new QCheckBox(tr("&Don't ask again"), &box);
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
