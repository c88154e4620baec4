#include "gui/dialog_parts.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "gui/progress_dialog.h"
#include "gui/zantricowl_tdlg_client.h"

namespace zantric::gui {

QPushButton* makeButton(QWidget* parent, const QString& caption, int id) {
    auto* button = new QPushButton(caption, parent);
    button->setProperty("controlId", id);
    button->setAutoDefault(false);
    return button;
}

QLabel* buddyLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void useWindowFont(const zantricowlTDLGClient* mainWindow, std::initializer_list<QWidget*> fields) {
    if (mainWindow == nullptr) return;
    for (QWidget* field : fields) field->setFont(mainWindow->currentFont());
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
