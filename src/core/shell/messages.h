// Messages: what the core has to say to the person using the program, and the one interface
// through which it says it. The core never shows anything itself: an operation either returns
// its message in an outcome (core/shell/outcome.h) for the caller to show, or, for a question it
// must ask before it can go on, asks the Prompter its caller passed in. The window answers with
// message boxes (src/gui), the command line with lines on stderr (src/cli), tests with a
// recorder.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zantric {

// What a message is, and so the icon a box shows beside it.
enum class MessageKind : std::uint8_t {
    kPlain,        // no icon
    kError,        // a stop sign: something failed
    kQuestion,     // a question mark
    kWarning,      // an exclamation mark
    kInformation,  // an "i"
};

// The buttons under a message; the first named is the default unless said otherwise.
enum class Buttons : std::uint8_t {
    kOk,
    kOkCancel,
    kYesNo,
    kYesNoDefaultNo,  // Yes and No, with No the default button
};

// The button that answered a message.
enum class Answer : std::uint8_t { kOk, kCancel, kYes, kNo };

// One message: its text and title as the user reads them, what kind it is and the buttons it
// offers. `beep` sounds the warning tone before it is shown (a refused input).
struct Message {
    std::string text;
    std::string title;
    MessageKind kind = MessageKind::kPlain;
    Buttons buttons = Buttons::kOk;
    bool beep = false;

    // A message whose text and title are texts of the string table.
    static Message fromIds(int textId, int titleId, MessageKind kind,
                           Buttons buttons = Buttons::kOk);
    // An error with the stop sign, as the catcher of a ZantricException shows its text: title
    // "Zantric Exception", OK.
    static Message exception(std::string text);
    Message& beeping() {
        beep = true;
        return *this;
    }
    friend bool operator==(const Message&, const Message&) = default;
};

// Whether the message offers a choice (Yes/No or OK/Cancel), not only OK.
bool isQuestion(const Message& message);
// The answer of a message nobody answers: OK for OK, Cancel for OK/Cancel, No for Yes/No.
Answer defaultAnswer(Buttons buttons);
// The answer that lets an operation go on: Yes for Yes/No, OK otherwise.
Answer goOnAnswer(Buttons buttons);

// The captions of a three-button question, in button order ("&Overwrite", "&Append", "&Cancel").
using Captions = std::array<std::string, 3>;

// Where the core's messages are shown and its questions answered. Supplied by the caller of an
// operation that may ask (the window or the command line); may be called from a worker thread.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows `message` (after the tone when it beeps) and returns the button that answered it.
    Answer ask(const Message& message) {
        if (message.beep) beep();
        return answer(message);
    }
    // A notice that does not end the operation: shown, and its only answer taken.
    void tell(const Message& notice) { (void)ask(notice); }
    // The three-button question; 0, 1 or 2 for the first, second or third caption.
    virtual int choose(const Message& question, const Captions& captions) = 0;
    // The warning tone alone.
    virtual void beep() {}
    // A count as the messages shown here write it: plain digits ("165565704") unless the one who
    // shows them groups digits as the user's locale does ("165,565,704": the window). Any thread.
    virtual std::string countText(long long count) const { return std::to_string(count); }

protected:
    virtual Answer answer(const Message& message) = 0;
};

// Whether the person answered the question with Yes (OK for an OK/Cancel question).
inline bool agreed(Prompter& prompter, const Message& question) {
    return prompter.ask(question) == goOnAnswer(question.buttons);
}

// The title of the boxes about a dictionary or a folder that cannot be opened. It is not a text
// of the string table, whose "File Error." (kStrFileErrorTitle) ends in a full stop.
inline constexpr const char* kOpenErrorTitle = "File Error";

}  // namespace zantric
