// ZantricException: the program's one exception type. It carries one message text, which the
// catcher shows as it stands (title "Zantric Exception"). File and dictionary operations that
// cannot go on throw it; every worker catches it at its top.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace zantric {

class ZantricException : public std::exception {
public:
    explicit ZantricException(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& message() const noexcept { return m_message; }

private:
    std::string m_message;
};

}  // namespace zantric
