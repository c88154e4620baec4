// Message routines: every message box of the program goes through here. They forward to one
// presenter installed at start-up (Qt dialogs in the window, stderr in the CLI, a recorder in
// tests). Callable from any thread; a presenter that shows windows must marshal to its GUI thread.
#pragma once

#include <string>

namespace zantric {

// Style flags of a message box (the values the program has always used).
enum MessageStyle : int {
    kMbOk = 0,
    kMbYesNo = 4,
    kMbOkCancelQuestion = 33,
    kMbOkStop = 16,
    kMbOkExclamation = 48,
    kMbOkInformation = 64,
    kMbDefaultButton2 = 0x100,  // with kMbYesNo: No is the default button
};
// Buttons a message box returns.
enum MessageAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Where message boxes are shown. `hasOwner` is false for a task-modal box with no owner window.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual int show(const std::string& text, const std::string& title, int style,
                     bool hasOwner) = 0;
    // Returns 0, 1 or 2 for the first, second or third button; any other close gives 2.
    virtual int threeButton(const std::string& text, const std::string& title,
                            const std::string& caption1, const std::string& caption2,
                            const std::string& caption3) = 0;
    virtual void beep() {}
};

// Installs the presenter (not owned; nullptr restores the default, which writes
// "Title: text" to stderr and takes the default answer). Returns the one it replaces, nullptr
// for the default, so that installing the result again restores it. The swap is atomic.
MessagePresenter* installPresenter(MessagePresenter* presenter);
MessagePresenter& presenter();

// The answer of a box nobody answers: OK for the OK styles, Cancel when the box offers Cancel,
// No for Yes/No. The default presenter (and the test recorder, when it has no script) gives it.
int defaultAnswer(int style);

// The title of the boxes about a dictionary or a folder that cannot be opened. It is not a text
// of the string table, whose "File Error." (kStrFileErrorTitle) ends in a full stop.
inline constexpr const char* kOpenErrorTitle = "File Error";

// A message box from two string-table ids / from literal texts. `owner` is an opaque window
// handle; nullptr makes the box task-modal. Returns the button pressed.
int messageBox(int textId, int titleId, int style, const void* owner = nullptr);
int messageBoxText(const std::string& text, const std::string& title, int style,
                   const void* owner = nullptr);
// The three-button question; returns 0, 1 or 2.
int threeButtonMessageBox(const std::string& text, const std::string& title,
                          const std::string& caption1, const std::string& caption2,
                          const std::string& caption3);
void beep();

// Shows the text of a ZantricException as the program does: title "Zantric Exception", OK, no
// owner.
void reportException(const std::string& text);

}  // namespace zantric
