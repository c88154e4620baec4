#include "cli/cli_commands.h"

#include <cstdio>
#include <limits>
#include <string>

#include "cli/cli_presenter.h"
#include "cli/output.h"

namespace zantric::cli {

CLI::Validator wholeNumber(std::int64_t least, std::int64_t most) {
    const std::string expected =
        "expected a whole number from " + std::to_string(least) + " to " + std::to_string(most);
    const auto check = [least, most, expected](const std::string& text) {
        bool whole = !text.empty();
        std::int64_t value = 0;
        for (const char c : text) {
            const int digit = c - '0';
            // Beyond `most` or not a digit: the value no longer matters.
            if (digit < 0 || digit > 9 || value > (most - digit) / 10) {
                whole = false;
                break;
            }
            value = value * 10 + digit;
        }
        return whole && value >= least && value <= most ? std::string() : expected;
    };
    const std::string range =
        most == std::numeric_limits<std::int64_t>::max() && least == 0
            ? std::string("NONNEGATIVE")
            : "INT in [" + std::to_string(least) + " - " + std::to_string(most) + "]";
    return {check, range};
}

CLI::Validator notEmpty() {
    return {[](const std::string& text) { return text.empty() ? "may not be empty" : ""; }, ""};
}

void onRun(CLI::App& cmd, CommandLine& line, std::function<int()> body) {
    cmd.callback([&line, body = std::move(body)] { line.status = body(); });
}

std::unique_ptr<ProgramSession> openSession(const CommandLine& line, ProgramSession::Use use) {
    auto session = std::make_unique<ProgramSession>(*line.presenter);
    std::string reason;
    if (!session->start(line.folder, use, &reason)) {
        std::fprintf(stderr, "zantric-cli: %s\n", reason.c_str());
        return nullptr;
    }
    // A command that searches or changes files must be seen by other copies.
    if (use == ProgramSession::Use::kWork && !session->hasMarker()) return nullptr;
    return session;
}

bool dictionaryNamesAccepted(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::string refusal;
        if (dictionaryFileName(name, &refusal).empty()) {
            std::fprintf(stderr, "zantric-cli: %s: %s\n", shownText(stderr, name).c_str(),
                         refusal.c_str());
            return false;
        }
    }
    return true;
}

CatalogueEntry* namedDictionary(ProgramSession& session, const std::string& name) {
    CatalogueEntry* entry = session.findByName(name);
    if (!entry) {
        std::fprintf(stderr, "zantric-cli: no dictionary named %s (see zantric-cli list)\n",
                     name.c_str());
    }
    return entry;
}

}  // namespace zantric::cli
