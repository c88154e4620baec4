#include "gui/font_setting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <string>

#include "core/shell/ini_names.h"
#include "core/shell/settings.h"

namespace zantric::gui {

namespace {

constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

// The three sizes of the Size list and the font heights stored for them.
struct FontSize {
    const char* text;
    int height;  // in the ini: negative, the character height in pixels
    int points;
};
constexpr FontSize kFontSizes[3] = {{"8", -11, 8}, {"10", -13, 10}, {"12", -16, 12}};

int heightForSizeText(const QString& text) {
    for (const FontSize& size : kFontSizes) {
        if (text == QLatin1String(size.text)) return size.height;
    }
    return kFontSizes[0].height;
}

int sizeIndexForHeight(int height) {
    for (int i = 0; i < 3; ++i) {
        if (kFontSizes[i].height == height) return i;
    }
    return 0;
}

}  // namespace

FontSetting::FontSetting(const Settings& settings, QWidget* parent)
    : QGroupBox(tr("Font"), parent), m_settings(settings) {
    m_bold = new QCheckBox(tr("&Bold"), this);
    m_bold->setObjectName(QStringLiteral("bold"));
    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    auto* sizeLabel = new QLabel(tr("Si&ze"), this);
    sizeLabel->setBuddy(m_size);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_bold, 0, 0, 1, 2);
    layout->addWidget(sizeLabel, 1, 0);
    layout->addWidget(m_size, 1, 1);
    connect(m_bold, &QCheckBox::clicked, this, [this] { choiceMade(); });
    connect(m_size, &QComboBox::activated, this, [this] { choiceMade(); });
}

std::optional<QFont> FontSetting::restore(const QFont& base) {
    m_size->clear();
    for (const FontSize& size : kFontSizes) m_size->addItem(QString::fromLatin1(size.text));
    m_size->setCurrentIndex(0);
    m_font = base;
    const Settings& config = m_settings;
    if (config.readInt(ini::kFontSection, ini::kFontSet, 0) == 0) return std::nullopt;
    const int currentWeight = m_font.bold() ? kBoldWeight : kNormalWeight;
    const int weight = config.readInt(ini::kFontSection, ini::kFontWeight, currentWeight);
    const int height = config.readInt(ini::kFontSection, ini::kFontHeight, kFontSizes[0].height);
    QFont font = m_font;
    font.setWeight(weight >= kBoldWeight ? QFont::Bold : QFont::Normal);
    const int index = sizeIndexForHeight(height);
    if (kFontSizes[index].height == height || height == 0) {
        font.setPointSize(kFontSizes[index].points);
    } else {
        font.setPixelSize(height < 0 ? -height : height);
    }
    m_font = font;
    m_bold->setChecked(weight >= kBoldWeight);
    m_size->setCurrentIndex(index);
    return font;
}

void FontSetting::choiceMade() {
    const int weight = m_bold->isChecked() ? kBoldWeight : kNormalWeight;
    const int height = heightForSizeText(m_size->currentText());
    m_font.setWeight(weight == kBoldWeight ? QFont::Bold : QFont::Normal);
    m_font.setPointSize(kFontSizes[sizeIndexForHeight(height)].points);
    const Settings& config = m_settings;
    config.writeString(ini::kFontSection, ini::kFontSet, "1");
    config.writeString(ini::kFontSection, ini::kFontWeight, std::to_string(weight));
    config.writeString(ini::kFontSection, ini::kFontHeight, std::to_string(height));
    emit chosen(m_font);
}

}  // namespace zantric::gui
