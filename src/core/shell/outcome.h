// Status and Outcome<T>: the result of a core operation that can fail in a way the user is told
// about. A failure carries its Message (text, title, kind); the caller decides how to show it
// (a box in the window, a line on stderr in the command line). The core shows nothing itself.
#pragma once

#include <optional>
#include <utility>
#include <variant>

#include "core/shell/messages.h"

namespace zantric {

// Success, or the message that says why not.
class [[nodiscard]] Status {
public:
    Status() = default;                                         // success
    Status(Message failure) : m_failure(std::move(failure)) {}  // NOLINT: a failure converts
    static Status success() { return {}; }

    bool ok() const { return !m_failure.has_value(); }
    explicit operator bool() const { return ok(); }
    // The failure's message; only when !ok().
    const Message& message() const { return *m_failure; }

    // Shows the failure (if any) through `prompter`; returns ok().
    bool report(Prompter& prompter) const {
        if (m_failure) prompter.tell(*m_failure);
        return ok();
    }

private:
    std::optional<Message> m_failure;
};

// A value, or the message that says why there is none.
template <typename T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : m_value(std::move(value)) {}            // NOLINT: a value converts
    Outcome(Message failure) : m_value(std::move(failure)) {}  // NOLINT: a failure converts

    bool ok() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<T>(m_value); }
    const T& value() const { return std::get<T>(m_value); }
    const Message& message() const { return std::get<Message>(m_value); }
    Status status() const { return ok() ? Status() : Status(message()); }

private:
    std::variant<T, Message> m_value;
};

}  // namespace zantric
