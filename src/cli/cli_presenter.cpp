#include "cli/cli_presenter.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>

#include "cli/output.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

void printBlock(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", shownText(stderr, title).c_str(),
                 shownText(stderr, text).c_str());
    std::fflush(stderr);
}

bool isError(const Message& message) {
    for (int id : {kStrErrorTitle, kStrFileErrorTitle, kStrInputErrorTitle, kStrExceptionTitle}) {
        if (message.title == loadString(id)) return true;
    }
    return message.title == kOpenErrorTitle || message.kind == MessageKind::kError;
}

// "&Overwrite" -> "Overwrite".
std::string plainCaption(const std::string& caption) {
    std::string plain;
    for (char c : caption) {
        if (c != '&') plain.push_back(c);
    }
    return plain;
}

// Texts that speak of the window's controls, and what the command line says instead.
struct Rewording {
    int id;
    const char* text;
};
constexpr Rewording kCommandLineWording[] = {
    {kStrNoWord, "You must give a word: WORD may not be empty."},
    {kStrNoDictionary, "You must name a dictionary: --dict NAME."},
    {kStrUnknownDictionary,
     "Zantric does not recognise your chosen dictionary. Name one that zantric-cli list shows."},
    {kStrSelectTwo, "You must name 2 or more dictionaries to merge together."},
    {kStrMergeNameMissing, "You must name the new dictionary: --into NAME."},
    {kStrNamesMissing, "You must give a word list and a dictionary name."},
    {kStrNothingHighlighted, "You must name one or more dictionaries to delete."},
    {kStrCannotCheckUnique,
     "Zantric cannot check words for uniqueness. Please select one or more dictionaries "
     "(zantric-cli select NAME).\n\nIf you do not wish words to be checked against existing "
     "dictionaries, leave out --unique."},
    {kStrTextAfterBang,
     "Zantric will ignore any part of the FIND pattern after the ! wildcard. Answer OK to search "
     "without these characters, Cancel to change FIND."},
};

std::string commandLineWording(const std::string& text) {
    for (const Rewording& rewording : kCommandLineWording) {
        if (text == loadString(rewording.id)) return rewording.text;
    }
    return text;
}

bool startsWith(const std::string& answer, char c) {
    return !answer.empty() && std::tolower(static_cast<unsigned char>(answer[0])) == c;
}

}  // namespace

std::string CliPresenter::readAnswer(const std::string& prompt) {
    std::fprintf(stderr, "%s", prompt.c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) line.clear();
    return line;
}

Answer CliPresenter::answer(const Message& message) {
    std::lock_guard lock(m_mutex);
    if (!m_silenced.empty() && message.text == m_silenced) return defaultAnswer(message.buttons);
    printBlock(message.title, commandLineWording(message.text));
    if (isError(message)) m_errorShown = true;
    if (!isQuestion(message)) return Answer::kOk;
    const bool yesNo = message.buttons != Buttons::kOkCancel;
    const Answer yes = goOnAnswer(message.buttons);
    const Answer no = defaultAnswer(message.buttons);
    const char* yesWord = yesNo ? "Yes" : "OK";
    const char* noWord = yesNo ? "No" : "Cancel";
    if (*m_yes) {
        std::fprintf(stderr, "(--yes: answering %s)\n", yesWord);
        return yes;
    }
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "(no terminal to ask: answering %s; --yes answers %s)\n", noWord,
                     yesWord);
        return no;
    }
    const std::string reply =
        readAnswer(std::string(yesNo ? "Yes or No? [y/N] " : "OK or Cancel? [o/C] "));
    return startsWith(reply, yesNo ? 'y' : 'o') ? yes : no;
}

int CliPresenter::choose(const Message& question, const Captions& shownCaptions) {
    std::lock_guard lock(m_mutex);
    printBlock(question.title, question.text);
    const Captions captions = {plainCaption(shownCaptions[0]), plainCaption(shownCaptions[1]),
                               plainCaption(shownCaptions[2])};
    if (*m_yes) {
        std::fprintf(stderr, "(--yes: answering %s)\n", captions[0].c_str());
        return 0;
    }
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "(no terminal to ask: answering %s; --yes answers %s)\n",
                     captions[2].c_str(), captions[0].c_str());
        return 2;
    }
    const std::string reply =
        readAnswer("1) " + captions[0] + "  2) " + captions[1] + "  3) " + captions[2] + "  [3] ");
    for (int i = 0; i < 3; ++i) {
        if (reply == std::to_string(i + 1) ||
            (!captions[i].empty() &&
             startsWith(reply, static_cast<char>(
                                   std::tolower(static_cast<unsigned char>(captions[i][0]))))))
            return i;
    }
    return 2;
}

}  // namespace zantric::cli
