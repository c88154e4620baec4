#include "core/shell/messages.h"

#include <atomic>
#include <cstdio>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

Message Message::fromIds(int textId, int titleId, MessageKind kind, Buttons buttons) {
    return {loadString(textId), loadString(titleId), kind, buttons};
}

Message Message::exception(std::string text) {
    return {std::move(text), loadString(kStrExceptionTitle), MessageKind::kPlain, Buttons::kOk};
}

bool isQuestion(const Message& message) { return message.buttons != Buttons::kOk; }

Answer defaultAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::kOkCancel:
            return Answer::kCancel;
        case Buttons::kYesNo:
        case Buttons::kYesNoDefaultNo:
            return Answer::kNo;
        case Buttons::kOk:
            break;
    }
    return Answer::kOk;
}

Answer goOnAnswer(Buttons buttons) {
    return buttons == Buttons::kYesNo || buttons == Buttons::kYesNoDefaultNo ? Answer::kYes
                                                                             : Answer::kOk;
}

namespace {

// Used when no window is there to ask: the message goes to stderr, the answer is the default.
class StderrPrompter final : public Prompter {
public:
    int choose(const Message& question, const Captions&) override {
        std::fprintf(stderr, "%s: %s\n", question.title.c_str(), question.text.c_str());
        return 2;
    }

protected:
    Answer answer(const Message& message) override {
        std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
        return defaultAnswer(message.buttons);
    }
};

StderrPrompter gDefaultPrompter;
std::atomic<Prompter*> gPrompter{&gDefaultPrompter};

}  // namespace

Prompter* installPresenter(Prompter* prompter) {
    Prompter* previous = gPrompter.exchange(prompter != nullptr ? prompter : &gDefaultPrompter);
    return previous == &gDefaultPrompter ? nullptr : previous;
}

Prompter& presenter() { return *gPrompter.load(); }

}  // namespace zantric
