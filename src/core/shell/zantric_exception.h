// ZantricException: the program's one exception type. It carries one message text, which the
// catcher shows as it stands (title "Zantric Exception"). File and dictionary operations that
// cannot go on throw it; every worker catches it at its top. Some failures also carry a notice
// in their own words (a dictionary that cannot be opened: "File Error"), which the catcher shows
// first (reportFailure) or instead (noticeOrException).
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "core/shell/messages.h"

namespace zantric {

class ZantricException : public std::exception {
public:
    explicit ZantricException(std::string message) : m_message(std::move(message)) {}
    // A failure told by `notice`; its text is the exception's text too.
    explicit ZantricException(Message notice)
        : m_message(notice.text), m_notice(std::move(notice)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& message() const noexcept { return m_message; }
    const std::optional<Message>& notice() const noexcept { return m_notice; }

private:
    std::string m_message;
    std::optional<Message> m_notice;
};

// What the catcher at the top of a piece of work shows: the failure's notice, if it has one,
// and then its text titled "Zantric Exception".
inline void reportFailure(Prompter& prompter, const ZantricException& failure) {
    if (failure.notice()) prompter.tell(*failure.notice());
    prompter.tell(Message::exception(failure.message()));
}
// The failure's notice if it has one, else its text titled "Zantric Exception".
inline Message noticeOrException(const ZantricException& failure) {
    return failure.notice() ? *failure.notice() : Message::exception(failure.message());
}

}  // namespace zantric
