#include "core/shell/messages.h"

#include <atomic>
#include <cstdio>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

// Used when no window is there to ask: the message goes to stderr, the answer is the default.
class StderrPresenter final : public MessagePresenter {
public:
    int show(const std::string& text, const std::string& title, int style, bool) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return defaultAnswer(style);
    }
    int threeButton(const std::string& text, const std::string& title, const std::string&,
                    const std::string&, const std::string&) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return 2;
    }
};

StderrPresenter gDefaultPresenter;
std::atomic<MessagePresenter*> gPresenter{&gDefaultPresenter};

}  // namespace

int defaultAnswer(int style) {
    switch (style & 0xF) {  // the button group of the style flags
        case 1:             // OK/Cancel
        case 3:             // Yes/No/Cancel
        case 5:             // Retry/Cancel
            return kIdCancel;
        case kMbYesNo:
            return kIdNo;
        default:
            return kIdOk;
    }
}

MessagePresenter* installPresenter(MessagePresenter* presenter) {
    MessagePresenter* previous =
        gPresenter.exchange(presenter != nullptr ? presenter : &gDefaultPresenter);
    return previous == &gDefaultPresenter ? nullptr : previous;
}

MessagePresenter& presenter() { return *gPresenter.load(); }

int messageBox(int textId, int titleId, int style, const void* owner) {
    return messageBoxText(loadString(textId), loadString(titleId), style, owner);
}

int messageBoxText(const std::string& text, const std::string& title, int style,
                   const void* owner) {
    return presenter().show(text, title, style, owner != nullptr);
}

int threeButtonMessageBox(const std::string& text, const std::string& title,
                          const std::string& caption1, const std::string& caption2,
                          const std::string& caption3) {
    int answer = presenter().threeButton(text, title, caption1, caption2, caption3);
    return answer == 0 || answer == 1 ? answer : 2;
}

void beep() { presenter().beep(); }

void reportException(const std::string& text) {
    messageBoxText(text, loadString(kStrExceptionTitle), kMbOk, nullptr);
}

}  // namespace zantric
