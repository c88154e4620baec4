// The program's help: one HTML page built into the program, shown in its own help window (a
// QTextBrowser, so no web browser is needed) at the anchor of a help context. HelpId is the
// current help context of the dialog in front: each dialog holds one while it lives and the
// previous context comes back when it goes. GUI thread only.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace zantric::gui {

// The places of the help page that the dialogs open it at.
enum class HelpContext {
    kContents,
    kMakeDictionary,
    kMergeDictionaries,
    kAddWord,
    kRemoveWord,
    kSelectDictionaries,
    kPhraseOptions
};

// The anchor of a help context in the help page.
QString helpAnchor(HelpContext context);
// The built-in page at the context's anchor.
QUrl helpUrl(HelpContext context);

// The help window. It belongs to the window it was opened over, so that it can be used while
// that dialog waits for its answer; when that dialog goes, the window beneath takes it over.
class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);
    // Shows the page at the context's anchor, in front of `owner`.
    void showAt(HelpContext context, QWidget* owner);
    QTextBrowser* browser() const { return m_browser; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void belongTo(QWidget* owner);
    QTextBrowser* m_browser;
};

// Opens the help window at the context over the window in front (the dialog that waits, else
// `mainWindow`), and returns it.
HelpWindow* openHelp(HelpContext context, QWidget* mainWindow = nullptr);
// The help window while it exists (it is made by the first openHelp).
HelpWindow* helpWindow();

class HelpId {
public:
    explicit HelpId(HelpContext context) : m_previous(s_current) { s_current = context; }
    ~HelpId() { s_current = m_previous; }
    HelpId(const HelpId&) = delete;
    HelpId& operator=(const HelpId&) = delete;

    static HelpContext current() { return s_current; }

private:
    HelpContext m_previous;
    static inline HelpContext s_current = HelpContext::kContents;
};

}  // namespace zantric::gui
