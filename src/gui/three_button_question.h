// ThreeButtonQuestion: the modal question with three buttons of the caller's captions (the
// results "Append / Overwrite / Cancel" question, for one). exec() returns 0, 1 or 2 for the
// button pressed; Escape and the close box give 2, like the third button. GUI thread.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace zantric::gui {

class ThreeButtonQuestion final : public QDialog {
    Q_OBJECT
public:
    ThreeButtonQuestion(QWidget* parent, const QString& text, const QString& title,
                        const QString& caption1, const QString& caption2, const QString& caption3);

    QPushButton* button(int index) const { return m_buttons[index]; }

public slots:
    void reject() override { done(2); }

private:
    QLabel* m_text;
    QPushButton* m_buttons[3];
};

}  // namespace zantric::gui
