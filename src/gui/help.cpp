#include "gui/help.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zantric::gui {

namespace {
QPointer<HelpWindow> g_help;
}  // namespace

QString helpAnchor(HelpContext context) {
    switch (context) {
        case HelpContext::kMakeDictionary:
            return QStringLiteral("make-dictionary");
        case HelpContext::kMergeDictionaries:
            return QStringLiteral("merge");
        case HelpContext::kAddWord:
            return QStringLiteral("add-word");
        case HelpContext::kRemoveWord:
            return QStringLiteral("remove-word");
        case HelpContext::kSelectDictionaries:
            return QStringLiteral("select-dictionaries");
        case HelpContext::kPhraseOptions:
            return QStringLiteral("phrase-options");
        case HelpContext::kContents:
            break;
    }
    return QStringLiteral("contents");
}

QUrl helpUrl(HelpContext context) {
    QUrl url(QStringLiteral("qrc:/help/zantric.html"));
    url.setFragment(helpAnchor(context));
    return url;
}

HelpWindow::HelpWindow(QWidget* owner) : QWidget(nullptr, Qt::Window) {
    setWindowTitle(tr("Zantric Help"));
    setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with its main window
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(fontMetrics().averageCharWidth() * 96, fontMetrics().lineSpacing() * 34);
    belongTo(owner);
}

void HelpWindow::belongTo(QWidget* owner) {
    if (parentWidget() == owner) return;
    if (parentWidget() != nullptr) parentWidget()->removeEventFilter(this);
    const bool visible = isVisible();
    const QPoint place = pos();
    // A window of a modal dialog is not blocked by it.
    setParent(owner, Qt::Window);
    if (owner != nullptr) owner->installEventFilter(this);
    if (visible) {
        move(place);
        show();
    }
}

void HelpWindow::showAt(HelpContext context, QWidget* owner) {
    belongTo(owner);
    const QUrl url = helpUrl(context);
    if (m_browser->source() == url) {
        m_browser->scrollToAnchor(url.fragment());
    } else {
        m_browser->setSource(url);
    }
    show();
    raise();
    activateWindow();
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // The dialog it belongs to is closing: the window beneath takes the help window over.
    if (watched == parentWidget() && event->type() == QEvent::Hide && !event->spontaneous() &&
        qobject_cast<QDialog*>(parentWidget()) != nullptr) {
        QWidget* beneath = parentWidget()->parentWidget();
        belongTo(beneath != nullptr ? beneath->window() : nullptr);
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

HelpWindow* openHelp(HelpContext context, QWidget* mainWindow) {
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = mainWindow;
    if (owner != nullptr) owner = owner->window();
    if (g_help == nullptr) g_help = new HelpWindow(owner);
    g_help->showAt(context, owner);
    return g_help;
}

HelpWindow* helpWindow() { return g_help; }

}  // namespace zantric::gui
