// Small pieces that the dictionary dialogs share: their push buttons, the
// keystroke rule of a dictionary name, and the stage runner that shows each long step of a
// maintenance command in the progress dialog. GUI thread.
#pragma once

#include <QString>
#include <filesystem>
#include <initializer_list>

#include "core/maintenance/new_dictionary.h"

class QDialog;
class QGridLayout;
class QLabel;
class QObject;
class QPushButton;
class QValidator;
class QWidget;

namespace zantric::gui {

class SearchPanel;

// A file name the user typed or chose, as the core takes it, and a path as the window shows it:
// the bytes as they are (UTF-8 on this system).
inline std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}
inline QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A push button of a dialog. Enter or keypad Enter presses it while it has the focus,
// and elsewhere presses the dialog's default button, which every dialog names.
QPushButton* makeButton(QWidget* parent, const QString& caption);

// A count as the window shows it: grouped as the user's locale groups digits ("165,565,704"),
// plain in the C locale, which groups none.
QString groupedCount(long long count);

// A label whose mnemonic moves the focus to `buddy`.
QLabel* buddyLabel(QWidget* parent, const QString& text, QWidget* buddy);

// Gives the fields the main window's current font (none without a main window).
void useWindowFont(const SearchPanel* panel, std::initializer_list<QWidget*> fields);

// The layout of a small dialog: the labelled fields above, the buttons below on the right;
// the dialog keeps the size its contents need.
void layOutDialog(QDialog* dialog, QGridLayout* fields,
                  std::initializer_list<QPushButton*> buttons);

// A dictionary name: letters, digits, underscore, braces, dollar sign, space and hyphen.
QValidator* dictionaryNameValidator(QObject* parent);
inline constexpr int kDictionaryNameLimit = 256;

// Runs each stage of a command under a modal progress dialog over `parent`.
StageRunner progressRunner(QWidget* parent);

}  // namespace zantric::gui
