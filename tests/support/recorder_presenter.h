// Test presenter: records every message box, three-button question and beep, and answers from
// a script of queued answers (the default answer of the style once the script is used up).
// Thread-safe: workers call it. RecordingPresenter installs one for a scope and restores the
// presenter it replaced.
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

struct RecordedMessage {
    std::string text;
    std::string title;
    int style = 0;          // -1 for a three-button question
    bool hasOwner = false;  // false: task-modal box without owner window
    bool threeButton = false;
    std::array<std::string, 3> captions;  // three-button question only
    int beepsBefore = 0;                  // beeps heard before this message was shown
};

class RecorderPresenter : public MessagePresenter {
public:
    int show(const std::string& text, const std::string& title, int style, bool hasOwner) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({text, title, style, hasOwner, false, {}, m_beeps});
        return nextAnswer(defaultAnswer(style));
    }
    int threeButton(const std::string& text, const std::string& title, const std::string& caption1,
                    const std::string& caption2, const std::string& caption3) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(
            {text, title, -1, false, true, {caption1, caption2, caption3}, m_beeps});
        return nextAnswer(2);
    }
    void beep() override {
        std::lock_guard lock(m_mutex);
        ++m_beeps;
    }
    // Queues answers, taken in call order by message boxes and three-button questions alike.
    void script(std::initializer_list<int> answers) {
        std::lock_guard lock(m_mutex);
        m_answers.insert(m_answers.end(), answers.begin(), answers.end());
    }
    std::vector<RecordedMessage> messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_messages.size();
    }
    // The last message; a default one when nothing was shown.
    RecordedMessage last() const {
        std::lock_guard lock(m_mutex);
        return m_messages.empty() ? RecordedMessage{} : m_messages.back();
    }
    int beeps() const {
        std::lock_guard lock(m_mutex);
        return m_beeps;
    }
    std::size_t unusedAnswers() const {
        std::lock_guard lock(m_mutex);
        return m_answers.size();
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
        m_answers.clear();
        m_beeps = 0;
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

// Installs a presenter for its lifetime, then puts back the one it replaced.
class ScopedPresenter {
public:
    explicit ScopedPresenter(MessagePresenter& presenter)
        : m_previous(installPresenter(&presenter)) {}
    ~ScopedPresenter() { installPresenter(m_previous); }
    ScopedPresenter(const ScopedPresenter&) = delete;
    ScopedPresenter& operator=(const ScopedPresenter&) = delete;

private:
    MessagePresenter* m_previous;
};

// A recorder installed for the lifetime of this object: the usual way for a test to see messages.
class RecordingPresenter : public RecorderPresenter {
    ScopedPresenter m_scope{*this};
};

}  // namespace zantric::test
