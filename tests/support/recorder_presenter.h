// Test presenter: records every message, three-button question and beep, and answers from a
// script (then the buttons' default answer). Thread-safe: workers call it. A test hands it to the
// code under test as that code's Prompter.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "core/shell/messages.h"

namespace zantric::test {

// A message's kind and buttons in one number, as a table of expected messages names them: the
// numbers of the old message-box API (buttons in the low nibble, icon in the next, 0x100 for No
// as the default). Answers likewise.
enum : int {
    kMbOk = 0,
    kMbOkCancel = 1,
    kMbYesNo = 4,
    kMbOkStop = 16,
    kMbOkCancelQuestion = 33,
    kMbOkExclamation = 48,
    kMbOkInformation = 64,
    kMbDefaultButton2 = 0x100,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

inline int styleOf(const Message& message) {
    static constexpr int kIcons[] = {0, 0x10, 0x20, 0x30, 0x40};  // by MessageKind
    static constexpr int kButtons[] = {kMbOk, kMbOkCancel, kMbYesNo, kMbYesNo | kMbDefaultButton2};
    return kIcons[static_cast<int>(message.kind)] | kButtons[static_cast<int>(message.buttons)];
}
inline int answerId(Answer answer) {
    static constexpr int kIds[] = {kIdOk, kIdCancel, kIdYes, kIdNo};  // by Answer
    return kIds[static_cast<int>(answer)];
}
inline Answer answerOfId(int id) {
    for (Answer a : {Answer::kOk, Answer::kCancel, Answer::kYes, Answer::kNo}) {
        if (answerId(a) == id) return a;
    }
    return Answer::kCancel;
}

struct RecordedMessage {
    std::string text;
    std::string title;
    int style = 0;  // styleOf the message; -1 for a three-button question
    bool threeButton = false;
    std::array<std::string, 3> captions;  // three-button question only
    int beepsBefore = 0;                  // beeps heard before this message was shown
};

class RecorderPresenter : public Prompter {
    template <class F>
    auto locked(F f) const {
        std::lock_guard lock(m_mutex);
        return f();
    }

public:
    int choose(const Message& question, const Captions& captions) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({question.text, question.title, -1, true, captions, m_beeps});
        const int answer = nextAnswer(2);
        return answer == 0 || answer == 1 ? answer : 2;
    }
    void beep() override {
        locked([this] { return ++m_beeps; });
    }
    // Queues answers (kIdYes ...; 0, 1 or 2 for a three-button question), taken in call order.
    void script(std::initializer_list<int> answers) {
        locked([&] { return m_answers.insert(m_answers.end(), answers.begin(), answers.end()); });
    }
    std::vector<RecordedMessage> messages() const {
        return locked([this] { return m_messages; });
    }
    std::size_t count() const {
        return locked([this] { return m_messages.size(); });
    }
    // The last message; a default one when nothing was shown.
    RecordedMessage last() const {
        return locked(
            [this] { return m_messages.empty() ? RecordedMessage{} : m_messages.back(); });
    }
    int beeps() const {
        return locked([this] { return m_beeps; });
    }
    std::size_t unusedAnswers() const {
        return locked([this] { return m_answers.size(); });
    }
    void clear() {
        locked([this] {
            m_messages.clear();
            m_answers.clear();
            return m_beeps = 0;
        });
    }

protected:
    Answer answer(const Message& message) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({message.text, message.title, styleOf(message), false, {}, m_beeps});
        return answerOfId(nextAnswer(answerId(defaultAnswer(message.buttons))));
    }

private:
    int nextAnswer(int fallback) {
        if (m_answers.empty()) return fallback;
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    mutable std::mutex m_mutex;
    std::vector<RecordedMessage> m_messages;
    std::deque<int> m_answers;
    int m_beeps = 0;
};

}  // namespace zantric::test
