#include "gui/about_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/search_panel.h"
#include "zantric_version.h"

namespace zantric::gui {

QIcon zantricIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x1f, 0x4e, 0x8c));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font;
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Z"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QString AboutDialog::aboutText() {
    return tr("%1\nVersion %2")
        .arg(QString::fromLatin1(kFrameTitle), QStringLiteral(ZANTRIC_VERSION));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About"));
    auto* iconButton = new QToolButton(this);
    iconButton->setIcon(zantricIcon());
    iconButton->setIconSize(QSize(48, 48));
    iconButton->setAutoRaise(true);
    m_text = new QPlainTextEdit(aboutText(), this);
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 3);
    m_text->setMinimumWidth(
        m_text->fontMetrics().horizontalAdvance(aboutText().section('\n', 0, 0)) + 24);
    auto* note = new QLabel(
        tr("A word-puzzle solver: words and phrases from a pattern and a set of letters.\n"
           "Free software under the GNU General Public License, version 3 or later; it comes "
           "with no warranty."),
        this);
    note->setWordWrap(true);
    auto* group = new QGroupBox(this);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(iconButton, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_text);
    texts->addWidget(note);
    groupLayout->addLayout(texts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zantric::gui
