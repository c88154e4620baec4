#include "gui/dialog_parts.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "gui/progress_dialog.h"
#include "gui/search_panel.h"

namespace zantric::gui {

QPushButton* makeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(true);
    return button;
}

QString groupedCount(long long count) {
    const QLocale locale;
    return locale.language() == QLocale::C ? QString::number(count) : locale.toString(count);
}

QLabel* buddyLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void useWindowFont(const SearchPanel* panel, std::initializer_list<QWidget*> fields) {
    if (panel == nullptr) return;
    for (QWidget* field : fields) field->setFont(panel->currentFont());
}

void layOutDialog(QDialog* dialog, QGridLayout* fields,
                  std::initializer_list<QPushButton*> buttons) {
    fields->setColumnStretch(1, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) row->addWidget(button);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    layout->addSpacing(dialog->fontMetrics().height() / 2);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QValidator* dictionaryNameValidator(QObject* parent) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[a-zA-Z0-9_{}$ \\-]*")), parent);
}

StageRunner progressRunner(QWidget* parent) {
    return [parent](ProgressWork& work) {
        ProgressDialog dialog(parent, work);
        return dialog.run();
    };
}

}  // namespace zantric::gui
