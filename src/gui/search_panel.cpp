#include "gui/search_panel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/maintenance/instance_marker.h"
#include "core/results/results_files.h"
#include "core/search/match_explanation.h"
#include "core/search/subset_analysis.h"
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
#include "gui/help.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/phrase_options_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/results_list.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/word_dialog.h"

namespace zantric::gui {

namespace {

constexpr SearchField kFields[4] = {SearchField::kFind, SearchField::kFrom, SearchField::kInclude,
                                    SearchField::kExclude};
constexpr int kFieldIds[4] = {kIdFind, kIdFrom, kIdInclude, kIdExclude};
// Alt+F is the File menu's, as in every Linux program.
const char* const kFieldLabels[4] = {"Fi&nd", "F&rom", "&Include", "E&xclude"};

constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

// The three sizes of the Size list and the font heights stored for them.
struct FontSize {
    const char* text;
    int height;  // in the ini: negative, the character height in pixels
    int points;
};
constexpr FontSize kFontSizes[3] = {{"8", -11, 8}, {"10", -13, 10}, {"12", -16, 12}};

int heightForSizeText(const QString& text) {
    for (const FontSize& size : kFontSizes) {
        if (text == QLatin1String(size.text)) return size.height;
    }
    return kFontSizes[0].height;
}

int sizeIndexForHeight(int height) {
    for (int i = 0; i < 3; ++i) {
        if (kFontSizes[i].height == height) return i;
    }
    return 0;
}

QString hint(int id) { return QString::fromStdString(loadString(id)); }

std::string text(const QComboBox* box) { return box->currentText().toStdString(); }

}  // namespace

SearchPanel::SearchPanel(QWidget* parent)
    : QWidget(parent), m_results(this), m_run(m_request, m_results) {
    Catalogue::instance();  // scans the dictionaries folder now, while the panel is made
    try {
        m_marker = std::make_unique<InstanceMarker>();
    } catch (const ZantricException& e) {
        // The program still works; other copies just cannot see this one.
        reportException(e.message());
    }
    m_phraseOptions = readPhraseOptions();
    buildControls();
}

SearchPanel::~SearchPanel() {
    m_searchTimer.stop();
    if (m_searching) m_run.cancel();
    m_run.join();
}

void SearchPanel::buildControls() {
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);  // a pattern must stay exactly as typed
        box->setMaxCount(static_cast<int>(FieldHistory::kMaxEntries));
        box->lineEdit()->setMaxLength(static_cast<int>(maxFieldLength(kFields[i])));
        // The combo box holds the focus and receives the keys, which it hands to its edit
        // field directly: the keystroke rules sit on the combo box.
        box->installEventFilter(this);
        box->setProperty("controlId", kFieldIds[i]);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        box->setMinimumContentsLength(i == 0 || i == 1 ? 12 : 8);
        m_fields[i] = box;
        m_fieldLabels[i] = new QLabel(QString::fromLatin1(kFieldLabels[i]), this);
        m_fieldLabels[i]->setBuddy(box);
        const int row = i / 2, column = (i % 2) * 2;
        grid->addWidget(m_fieldLabels[i], row, column);
        grid->addWidget(box, row, column + 1);
    }
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    m_fields[0]->setObjectName(QStringLiteral("find"));
    m_fields[1]->setObjectName(QStringLiteral("from"));
    m_fields[2]->setObjectName(QStringLiteral("include"));
    m_fields[3]->setObjectName(QStringLiteral("exclude"));

    connect(m_fields[0], &QComboBox::editTextChanged, this, [this] { updateSearchControls(); });
    connect(m_fields[2], &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_request.setInclude(t.toStdString()); });
    connect(m_fields[3], &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_request.setExclude(t.toStdString()); });

    m_list = new ResultsListView(m_results, this);
    connect(m_list, &ResultsListView::matchHighlighted, this, &SearchPanel::explainMatch);

    auto* options = new QGroupBox(this);
    options->setProperty("controlId", kIdOptionsGroup);
    m_useAll = new QCheckBox(QStringLiteral("&Use All FROM Letters"), options);
    m_useAll->setProperty("controlId", kIdUseAllFromLetters);
    m_suppress = new QCheckBox(QStringLiteral("Su&ppress Permutations"), options);
    m_suppress->setProperty("controlId", kIdSuppressPermutations);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(m_useAll);
    optionsLayout->addWidget(m_suppress);
    connect(m_useAll, &QCheckBox::clicked, this,
            [this](bool on) { m_request.setUseAllFromLetters(on); });
    connect(m_suppress, &QCheckBox::clicked, this,
            [this](bool on) { m_request.setSuppressPermutations(on); });

    auto* fontGroup = new QGroupBox(QStringLiteral("Font"), this);
    fontGroup->setProperty("controlId", kIdFontGroup);
    m_bold = new QCheckBox(QStringLiteral("&Bold"), fontGroup);
    m_bold->setProperty("controlId", kIdBold);
    m_size = new QComboBox(fontGroup);
    m_size->setProperty("controlId", kIdSize);
    auto* sizeLabel = new QLabel(QStringLiteral("Si&ze"), fontGroup);
    sizeLabel->setProperty("controlId", kIdSizeLabel);
    sizeLabel->setBuddy(m_size);
    auto* fontLayout = new QGridLayout(fontGroup);
    fontLayout->addWidget(m_bold, 0, 0, 1, 2);
    fontLayout->addWidget(sizeLabel, 1, 0);
    fontLayout->addWidget(m_size, 1, 1);
    connect(m_bold, &QCheckBox::clicked, this, [this] { fontChanged(); });
    connect(m_size, &QComboBox::activated, this, [this] { fontChanged(); });

    m_start = new QPushButton(QStringLiteral("&Start"), this);
    m_start->setProperty("controlId", kCmdStart);
    m_start->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setAutoDefault(true);  // Enter on the focused Cancel presses Cancel
    m_cancel->setProperty("controlId", kCmdExit);
    connect(m_start, &QPushButton::clicked, this, [this] { command(kCmdStart); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { command(kCmdExit); });

    // The option and font boxes keep to the bottom-left corner, Start and Cancel to the
    // bottom-right; the list takes every change of size.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(options, 0, Qt::AlignBottom);
    bottom->addWidget(fontGroup, 0, Qt::AlignBottom);
    bottom->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
}

void SearchPanel::attachStatusBar(QStatusBar* bar, QLabel* found, QLabel* checked) {
    m_statusBar = bar;
    m_foundPane = found;
    m_checkedPane = checked;
    m_filtersPane = new QLabel(hint(kStrFiltersOn), bar);
    m_filtersPane->setProperty("controlId", kIdFiltersPane);
    m_filtersPane->setFrameShape(QFrame::Panel);
    m_filtersPane->setFrameShadow(QFrame::Sunken);
    bar->insertPermanentWidget(0, m_filtersPane);
    m_filtersPane->hide();
    // The message pane keeps its width when "Filters on" shows beside the counters.
    bar->setMinimumWidth(bar->minimumWidth() + m_filtersPane->sizeHint().width() +
                         bar->fontMetrics().height());
}

void SearchPanel::showFiltersOn(bool on) {
    if (m_filtersPane != nullptr) m_filtersPane->setVisible(on);
}

void SearchPanel::setUp() {
    m_fields[0]->addItem(QStringLiteral("*"));
    m_histories.find.push("*");
    m_fields[0]->setEditText(QStringLiteral("*"));
    m_useAll->setChecked(true);
    m_request.setUseAllFromLetters(true);
    clearAll();
    m_list->relayout();
    setUpFont();
}

QComboBox* SearchPanel::field(SearchField which) const { return m_fields[static_cast<int>(which)]; }

SearchFields SearchPanel::fields() const {
    SearchFields f;
    f.find = text(m_fields[0]);
    f.from = text(m_fields[1]);
    f.include = text(m_fields[2]);
    f.exclude = text(m_fields[3]);
    f.useAllFromLetters = m_useAll->isChecked();
    f.suppressPermutations = m_suppress->isChecked();
    return f;
}

// --- Commands ---------------------------------------------------------------------------------

bool SearchPanel::commandEnabled(int id) const {
    switch (id) {
        case kCmdView:
        case kCmdClearAll:
        case kCmdStart:
        case kCmdSelectDictionaries:
        case kCmdPhraseOptions:
            return !m_searching;
        case kCmdAddWord:
        case kCmdRemoveWord:
        case kCmdCreateFromFile:
        case kCmdMerge:
        case kCmdDeleteDictionaries:
            return !m_searching && InstanceMarker::count() < 2;
        case kCmdDeleteResults:
            return !m_searching && InstanceMarker::count() < 2 && m_results.isOpen();
        case kCmdSaveAs:
            return !m_searching && m_results.count() > 0;
        default:
            return true;
    }
}

void SearchPanel::command(int id) {
    if (id == kCmdStart && m_searching) {
        beep();
        return;
    }
    if (!commandEnabled(id)) return;
    switch (id) {
        case kCmdStart:
            startSearch();
            break;
        case kCmdExit:
            exitCommand();
            break;
        case kCmdClearAll:
            clearAll();
            break;
        case kCmdSelectDictionaries:
            selectDictionaries();
            break;
        case kCmdHelp:
            openHelp(kHelpContents, window());
            break;
        case kCmdSaveAs:
            saveAsCommand();
            break;
        case kCmdView:
            viewCommand();
            break;
        case kCmdDeleteResults:
            deleteResults();
            break;
        case kCmdPhraseOptions:
            phraseOptionsCommand();
            break;
        case kCmdAbout: {
            AboutDialog about(this);
            about.exec();
            break;
        }
        case kCmdCreateFromFile:
            makeDictionaryCommand();
            break;
        case kCmdMerge:
            mergeCommand();
            break;
        case kCmdAddWord:
            updateWordCommand(true);
            break;
        case kCmdRemoveWord:
            updateWordCommand(false);
            break;
        case kCmdDeleteDictionaries:
            if (m_openSelect != nullptr) m_openSelect->deleteDictionaries();
            break;
        case kCmdShowDetails:
            if (m_openSelect != nullptr) m_openSelect->showDetails();
            break;
        default:
            break;
    }
}

void SearchPanel::setStatusText(int stringId) {
    if (m_statusBar != nullptr) m_statusBar->showMessage(hint(stringId));
}

void SearchPanel::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    auto add = [this](QMenu* to, int captionId, int commandId) {
        QAction* action = to->addAction(hint(captionId));
        action->setStatusTip(hint(commandId));
        action->setEnabled(commandEnabled(commandId));
        connect(action, &QAction::triggered, this, [this, commandId] { command(commandId); });
    };
    QMenu* dictionaries = menu.addMenu(hint(kStrMenuDictionaries));
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

// --- Results files ----------------------------------------------------------------------------

namespace {

// The files folder, where results are saved and looked for, as an absolute native path.
QString filesFolder() {
    return QDir(QString::fromStdString(nativePath(Settings::instance().filesFolder())))
        .absolutePath();
}

}  // namespace

SearchSummary SearchPanel::summary() const {
    const SearchFields f = fields();
    SearchSummary s;
    s.find = f.find;
    s.from = f.from;
    s.include = f.include;
    s.exclude = f.exclude;
    s.useAllFromLetters = f.useAllFromLetters;
    s.suppressPermutations = f.suppressPermutations;
    s.found = m_results.count();
    s.checked = m_checked;
    return s;
}

void SearchPanel::saveAsCommand() {
    const QStringList types = {QStringLiteral("Zantric Files (*.ztr)"),
                               QStringLiteral("ASCII Files (*.asc)"),
                               QStringLiteral("All Files (*)")};
    QString chosenType = types.first();
    // The program asks its own overwrite (or append) question.
    const QString name = QFileDialog::getSaveFileName(
        this, QString::fromLatin1(kSaveAsTitle), filesFolder(), types.join(QStringLiteral(";;")),
        &chosenType, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return;
    saveResultsTo(name, std::max<int>(0, static_cast<int>(types.indexOf(chosenType))));
}

void SearchPanel::saveResultsTo(const QString& name, int type) {
    // Copies and the text export run here, block by block, behind the progress dialog.
    const WorkRunner runner = [this](CallingThreadWork& work) {
        ProgressDialog dialog(this, work);
        work.setAfterBlock(dialog.afterBlockHook());
        return dialog.run();
    };
    const SaveAsOutcome outcome = saveResultsAs(m_results, summary(), name.toStdString(),
                                                static_cast<SaveAsType>(type), runner, this);
    if (outcome == SaveAsOutcome::kSavedPair) m_list->relayout();
    emit commandStateChanged();
}

void SearchPanel::viewCommand() {
    const QString name = QFileDialog::getOpenFileName(this, QString(), filesFolder(),
                                                      QStringLiteral("Zantric Files (*.ztr)"));
    if (!name.isEmpty()) viewResults(name);
}

bool SearchPanel::viewResults(const QString& name) {
    const bool opened = m_results.openSaved(name.toStdString());
    if (opened) {
        // The window shows the search that made the results.
        const ResultsHeader& header = m_results.header();
        const std::string* texts[4] = {&header.find, &header.from, &header.include,
                                       &header.exclude};
        for (int i = 0; i < 4; ++i) m_fields[i]->setEditText(QString::fromStdString(*texts[i]));
        m_useAll->setChecked(header.useAllFromLetters);
        m_request.setUseAllFromLetters(header.useAllFromLetters);
        m_suppress->setChecked(header.suppressPermutations);
        m_request.setSuppressPermutations(header.suppressPermutations);
        m_checked = header.checked;
        showCounters(header.found, header.checked);
        showFiltersOn(header.filters.any());
    }
    m_list->goToFirstRow();
    emit commandStateChanged();
    return opened;
}

void SearchPanel::phraseOptionsCommand() {
    PhraseOptionsDialog dialog(this, m_phraseOptions);
    if (dialog.exec() != QDialog::Accepted) return;
    m_phraseOptions = dialog.options();
    writePhraseOptions(m_phraseOptions);
}

void SearchPanel::explainMatch(const QString& match) {
    const ResultsHeader& header = m_results.header();
    const LetterPool from = searchedFromLetters(header.find, header.from, header.useAllFromLetters);
    // Without FROM letters there is nothing to explain; using them all without blanks leaves
    // nothing over.
    if (m_statusBar == nullptr || from.total() == 0 ||
        (header.useAllFromLetters && from.countOf('?') == 0)) {
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

void SearchPanel::deleteResults() {
    // Asked as every deletion is asked, with No as the default button; the files are named as
    // a shell names them.
    const auto shown = [](const std::string& name) {
        return QDir::cleanPath(
                   QDir::current().absoluteFilePath(QString::fromStdString(nativePath(name))))
            .toStdString();
    };
    const std::string question = loadString(kStrDeleteResultsQuestion) + '\n' +
                                 shown(m_results.dataName()) + '\n' + shown(m_results.indexName()) +
                                 loadString(kStrDeleteQuestionEnd);
    if (messageBoxText(question, loadString(kStrConfirmTitle), kMbYesNo | kMbDefaultButton2,
                       this) != kIdYes) {
        return;
    }
    // A file that cannot be deleted has been reported; the window then stays as it is.
    if (m_results.deleteCurrent()) {
        clearAll();
    } else {
        m_list->relayout();
    }
}

void SearchPanel::selectDictionaries() {
    // The next phrase search analyses the dictionaries again, whatever is chosen here.
    m_request.clearAnalysedLetters();
    SelectDictionariesDialog dialog(this);
    m_openSelect = &dialog;
    dialog.exec();
    m_openSelect = nullptr;
}

void SearchPanel::makeDictionaryCommand() {
    MakeDictionaryDialog dialog(this);
    connect(&dialog, &MakeDictionaryDialog::dictionaryMade, this,
            &SearchPanel::dictionariesChanged);
    dialog.exec();
    dictionariesChanged();
}

void SearchPanel::mergeCommand() {
    MergeDialog dialog(this);
    connect(&dialog, &MergeDialog::dictionariesChanged, this, &SearchPanel::dictionariesChanged);
    dialog.exec();
    dictionariesChanged();
}

void SearchPanel::updateWordCommand(bool add) {
    WordDialog dialog(this, add ? UpdateMode::kAdd : UpdateMode::kRemove);
    connect(&dialog, &WordDialog::dictionariesChanged, this, &SearchPanel::dictionariesChanged);
    dialog.exec();
    dictionariesChanged();
}

void SearchPanel::dictionariesChanged() {
    m_request.clearAnalysedLetters();
    if (m_openSelect != nullptr) m_openSelect->fillList();
}

// --- Search -----------------------------------------------------------------------------------

void SearchPanel::updateSearchControls() {
    const bool multiWord = m_request.updateMultiWord(text(m_fields[0]));
    m_suppress->setEnabled(multiWord && !m_searching);
    for (int i = 2; i < 4; ++i) {
        m_fields[i]->setEnabled(!multiWord && !m_searching);
        m_fieldLabels[i]->setEnabled(!multiWord);
    }
}

void SearchPanel::fillHistory(SearchField which) {
    QComboBox* box = field(which);
    const FieldHistory* history[4] = {&m_histories.find, &m_histories.from, &m_histories.include,
                                      &m_histories.exclude};
    const QString current = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& entry : history[static_cast<int>(which)]->entries()) {
        box->addItem(QString::fromStdString(entry));
    }
    const int index = box->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    box->setEditText(current);
}

void SearchPanel::updateHistory() {
    m_histories.update(fields());
    for (SearchField which : kFields) fillHistory(which);
}

void SearchPanel::startSearch() {
    if (m_searchTimer.isActive() && !m_searching) completeSearch();
    updateHistory();
    const SearchFields request = fields();
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
    m_list->relayout();  // the store was reset
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
        beep();
        messageBox(kStrUnableToCreateThread, kStrErrorTitle, kMbOk, this);
        leaveSearchingState();
        QCoreApplication::quit();
    }
}

void SearchPanel::setSearchControlsEnabled(bool enabled) {
    m_list->setEnabled(enabled);
    for (QComboBox* box : m_fields) box->setEnabled(enabled);
    m_useAll->setEnabled(enabled);
    m_suppress->setEnabled(enabled);
    m_start->setEnabled(enabled);
}

void SearchPanel::enterSearchingState() {
    m_searching = true;
    setStatusText(kStrSearching);
    showCounters(0, 0);
    setSearchControlsEnabled(false);
    emit commandStateChanged();
}

void SearchPanel::leaveSearchingState() {
    m_searching = false;
    setStatusText(kStrSearchingCompleted);
    setSearchControlsEnabled(true);
    updateSearchControls();
    emit commandStateChanged();
}

void SearchPanel::searchFinished() {
    if (!m_searching) return;
    // The results are finished at once, before the status bar says so: once it reads "Searching
    // Completed", Found, the list and the results files are final.
    completeSearch();
    leaveSearchingState();
    const std::string limit = m_run.limitText();
    if (!limit.empty() && m_statusBar != nullptr) {
        m_statusBar->showMessage(QString::fromStdString(limit));
    }
    m_run.reportStop(this);
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
    refreshCounters();
    if (window()->isMinimized()) {
        window()->setWindowTitle(QString::fromLatin1(kFrameTitle));
        m_titleShowsCount = false;
    }
    m_run.finish(fields());
    m_checked = m_run.checked();
    showCounters(m_run.found(), m_checked);
    showFiltersOn(m_run.filtersChanged());
    m_list->setFocus();
    m_list->goToFirstRow();
    emit commandStateChanged();
    emit searchCompleted();
}

void SearchPanel::showCounters(std::int64_t found, std::int64_t checked) {
    if (m_foundPane != nullptr) m_foundPane->setText(QStringLiteral("Found: %1").arg(found));
    if (m_checkedPane != nullptr)
        m_checkedPane->setText(QStringLiteral("Checked: %1").arg(checked));
}

void SearchPanel::refreshCounters() {
    QWidget* frame = window();
    if (frame->isMinimized()) {
        frame->setWindowTitle(
            QString::asprintf("Found: %lld", static_cast<long long>(m_run.found())));
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
    const int answer = messageBox(kStrCancelSearchQuestion, kStrConfirmTitle, kMbYesNo, this);
    // The flag is set before the worker goes on, so that it stops at the very next word.
    if (answer == kIdYes) m_run.cancel();
    m_run.resume();
    if (m_searching) m_searchTimer.start(kSearchTimerMs, this);
    m_askingCancel = false;
}

// --- Clear All and closing -------------------------------------------------------------------

void SearchPanel::clearAll() {
    m_fields[0]->setFocus();
    const int star = m_fields[0]->findText(QStringLiteral("*"));
    if (star >= 0) m_fields[0]->setCurrentIndex(star);
    m_fields[0]->setEditText(QStringLiteral("*"));
    for (int i = 1; i < 4; ++i) m_fields[i]->setEditText(QString());
    m_useAll->setChecked(true);
    m_request.setUseAllFromLetters(true);
    showCounters(0, 0);
    m_checked = 0;
    showFiltersOn(false);
    if (m_statusBar != nullptr) m_statusBar->clearMessage();
    updateSearchControls();
    m_results.reset();
    m_list->relayout();
    emit commandStateChanged();
}

void SearchPanel::endWithoutAsking() {
    if (m_searching) {
        m_run.cancel();  // the search timer sees the worker end and leaves the searching state
        return;
    }
    exitCommand();
}

void SearchPanel::exitCommand() {
    if (m_handlingExit) return;
    if (m_searching) {
        askCancelSearch();
        return;
    }
    m_handlingExit = true;
    if (m_searchTimer.isActive()) completeSearch();
    clearAll();
    deleteTemporaryFiles();
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_handlingExit = false;
            emit closeRequested();
        },
        Qt::QueuedConnection);
}

void SearchPanel::deleteTemporaryFiles() {
    Catalogue& catalogue = Catalogue::instance();
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (fileExists(entry.subsetFileName())) removeFile(entry.subsetFileName());
    }
    for (const std::string* name : {&catalogue.resultsDataName(), &catalogue.resultsIndexName(),
                                    &catalogue.subsetDictionaryName()}) {
        if (fileExists(*name)) removeFile(*name);
    }
}

// --- Keys -------------------------------------------------------------------------------------

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 4; ++i) {
        if (m_fields[i] == nullptr) break;  // still being built
        if (watched != m_fields[i]) continue;
        if (event->type() == QEvent::KeyPress) {
            return filterKey(kFields[i], static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusIn && i > 0) {
            // Leaving FIND for another search field checks FIND, once the focus has moved.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
                QTimer::singleShot(0, this, [this] { m_request.setFind(text(m_fields[0])); });
            }
        }
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchPanel::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took (on an option, in the list) presses the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        command(kCmdStart);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SearchPanel::filterKey(SearchField which, QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Start is the default button: Enter in a field starts the search. (An open list
        // takes its keys itself.)
        command(kCmdStart);
        return true;
    }
    const QString typed = event->text();
    if (typed.size() != 1 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        return false;
    }
    const QChar ch = typed.at(0);
    if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) return false;  // backspace and the like
    const char c = ch.unicode() < 0x80 ? translateTypedChar(static_cast<char>(ch.unicode())) : 0;
    if (c == 0 || !acceptsTypedChar(which, c)) {
        beep();
        return true;
    }
    if (c != ch.unicode()) {
        field(which)->lineEdit()->insert(QString(QLatin1Char(c)));
        return true;
    }
    return false;
}

// --- Font -------------------------------------------------------------------------------------

void SearchPanel::setUpFont() {
    m_size->clear();
    for (const FontSize& size : kFontSizes) m_size->addItem(QString::fromLatin1(size.text));
    m_size->setCurrentIndex(0);
    m_font = m_list->font();
    const Settings& config = Settings::instance();
    if (config.readInt(ini::kFontSection, ini::kFontSet, 0) == 0) return;
    const int currentWeight = m_font.bold() ? kBoldWeight : kNormalWeight;
    const int weight = config.readInt(ini::kFontSection, ini::kFontWeight, currentWeight);
    const int height = config.readInt(ini::kFontSection, ini::kFontHeight, kFontSizes[0].height);
    QFont font = m_font;
    font.setWeight(weight >= kBoldWeight ? QFont::Bold : QFont::Normal);
    const int index = sizeIndexForHeight(height);
    if (kFontSizes[index].height == height || height == 0) {
        font.setPointSize(kFontSizes[index].points);
    } else {
        font.setPixelSize(height < 0 ? -height : height);
    }
    applyFont(font);
    m_bold->setChecked(weight >= kBoldWeight);
    m_size->setCurrentIndex(index);
}

void SearchPanel::fontChanged() {
    const int weight = m_bold->isChecked() ? kBoldWeight : kNormalWeight;
    const int height = heightForSizeText(m_size->currentText());
    QFont font = m_font;
    font.setWeight(weight == kBoldWeight ? QFont::Bold : QFont::Normal);
    font.setPointSize(kFontSizes[sizeIndexForHeight(height)].points);
    applyFont(font);
    const Settings& config = Settings::instance();
    config.writeString(ini::kFontSection, ini::kFontSet, "1");
    config.writeString(ini::kFontSection, ini::kFontWeight, std::to_string(weight));
    config.writeString(ini::kFontSection, ini::kFontHeight, std::to_string(height));
    m_list->setFocus();
    m_list->goToFirstRow();
}

void SearchPanel::applyFont(const QFont& font) {
    m_font = font;
    for (QComboBox* box : m_fields) box->setFont(font);
    m_list->setFont(font);  // the list lays itself out again for the new font
}

}  // namespace zantric::gui
