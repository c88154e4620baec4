// The program's help: one HTML page built into the program, written next to the ini file and
// opened in the browser at the anchor of a help context. HelpId is the current help context of
// the dialog in front: each dialog holds one while it lives and the previous context comes back
// when it goes. GUI thread only.
#pragma once

#include <QString>
#include <QUrl>

#include "zantric_version.h"

namespace zantric::gui {

// The anchor of a help context in the help page ("contents" for 0 and unknown contexts).
QString helpAnchor(int context);
// Writes the built-in page to the help file (the ini's help file name, extension "html") when
// it is missing or differs, and returns its address at the context's anchor; an empty URL when
// the file cannot be written.
QUrl helpUrl(int context);
// Opens the help page at the context in the browser. False when that failed.
bool openHelp(int context);

// The home page that the web-site command opens.
inline constexpr const char* kHomePage = ZANTRIC_HOME_PAGE;

class HelpId {
public:
    explicit HelpId(int context) : m_previous(s_current) { s_current = context; }
    ~HelpId() { s_current = m_previous; }
    HelpId(const HelpId&) = delete;
    HelpId& operator=(const HelpId&) = delete;

    static int current() { return s_current; }

private:
    int m_previous;
    static inline int s_current = 0;
};

}  // namespace zantric::gui
