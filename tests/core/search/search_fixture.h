// Test fixture for searches from the request to the stored results: the program folder, the
// catalogue and a results store, and a search started as the window starts it (checks, the
// analysis when needed, the worker, completion). One test thread calls it.
#pragma once

#include <memory>
#include <sstream>

#include "core/results/results_header.h"
#include "core/results/results_store.h"
#include "core/search/search_run.h"
#include "core/search/subset_analysis.h"
#include "core/shell/paths.h"
#include "support/dictionary_files.h"

namespace zantric::test {

struct SearchOutcome {
    std::int64_t found = 0, checked = 0;
    std::string lines;  // the data file behind its header
    Words matches;      // the same, line by line
    bool filtersChanged = false;
};

inline SearchFields fields(std::string find, std::string from, bool useAll = true,
                           bool suppress = false, std::string include = "",
                           std::string exclude = "") {
    return {std::move(find),    std::move(from), std::move(include),
            std::move(exclude), useAll,          suppress};
}

class SearchFixture : public ProgramFolderTest {
protected:
    SearchFixture() {
        Catalogue::instance();
        m_results = std::make_unique<ResultsStore>();
        m_messages.clear();  // the empty folder's warning
    }
    ~SearchFixture() override { m_results.reset(); }

    // The words, in dictionary order, as the dictionary `name` of the catalogue.
    void addDictionary(const std::string& name, const Words& words, bool selected = true) {
        writeDictionary(lexPath(name), words);
        Catalogue::instance().add(lexPath(name));
        Catalogue::instance().setSelected(lexPath(name), selected);
    }

    // threads 0: as many search threads as the machine has cores.
    SearchOutcome search(const SearchFields& fields, int threads = 0) {
        SearchOutcome outcome;
        SearchRun run(m_request, *m_results);
        run.setThreads(threads);
        if (run.prepare(fields) != StartOutcome::kReady) return outcome;
        if (run.analysisNeeded()) {
            SubsetAnalysis analysis(m_request.fromLetters());
            const bool done = run.runAnalysis(analysis);
            ++(done ? m_analyses : m_analysesFailed);
            if (!done) return outcome;
        }
        run.startWorker();
        run.join();
        run.finish(fields);
        outcome = {run.found(), run.checked(), "", {}, run.filtersChanged()};
        const std::string data = TempFolder::read(nativePath(m_results->dataName()));
        if (outcome.found > 0 && data.size() > kResultsHeaderSize)
            outcome.lines = data.substr(kResultsHeaderSize);
        std::istringstream in(outcome.lines);
        for (std::string line; std::getline(in, line);) outcome.matches.push_back(line);
        return outcome;
    }

    SearchRequest m_request;
    std::unique_ptr<ResultsStore> m_results;
    int m_analyses = 0, m_analysesFailed = 0;
};

}  // namespace zantric::test
