#include "gui/three_button_question.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/qt_message_presenter.h"

namespace zantric::gui {

ThreeButtonQuestion::ThreeButtonQuestion(QWidget* parent, const QString& text, const QString& title,
                                         const QString& caption1, const QString& caption2,
                                         const QString& caption3)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    // Broken at spaces only, so that a file's name stays whole.
    m_text =
        new QLabel(breakAtSpaces(text, fontMetrics(), fontMetrics().averageCharWidth() * 56), this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(
        std::max(fontMetrics().averageCharWidth() * 56, titleWidth(title, fontMetrics())));
    auto* buttons = new QHBoxLayout;
    const QString captions[3] = {caption1, caption2, caption3};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QPushButton(captions[i], this);
        m_buttons[i]->setAutoDefault(true);  // Enter presses the focused button
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
