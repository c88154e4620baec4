#include "core/shell/messages.h"

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

}  // namespace zantric
