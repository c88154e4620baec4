#include "gui/three_button_message_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zantric::gui {

_3ButtonMessageBox::_3ButtonMessageBox(QWidget* parent, const QString& text, const QString& title,
                                       const QString& caption1, const QString& caption2,
                                       const QString& caption3)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    m_text = new QLabel(text, this);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
    auto* buttons = new QHBoxLayout;
    const QString captions[3] = {caption1, caption2, caption3};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QPushButton(captions[i], this);
        m_buttons[i]->setAutoDefault(false);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { done(i); });
        buttons->addWidget(m_buttons[i]);
    }
    m_buttons[2]->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zantric::gui
