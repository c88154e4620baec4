// FontSetting: the main window's Font group, Bold and Size (8, 10 or 12 points), and the FONT
// section of the ini that keeps the choice from one start to the next. It builds the fonts; the
// search form applies them to its fields and list. GUI thread only.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <optional>

class QCheckBox;
class QComboBox;

namespace zantric {
class Settings;
}

namespace zantric::gui {

class FontSetting final : public QGroupBox {
    Q_OBJECT
public:
    // Keeps the choice in the ini file of `settings`.
    FontSetting(const Settings& settings, QWidget* parent);

    // Fills the Size list and takes `base` (the list's font) as the current font. When the ini
    // holds a chosen font, shows that choice and returns the font built from it; else nothing.
    std::optional<QFont> restore(const QFont& base);
    QFont current() const { return m_font; }

signals:
    // The user chose another weight or size; the choice is already in the ini.
    void chosen(const QFont& font);

private:
    const Settings& m_settings;
    void choiceMade();

    QCheckBox* m_bold;
    QComboBox* m_size;
    QFont m_font;
};

}  // namespace zantric::gui
