#include "gui/help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/shell/config_data.h"
#include "core/shell/paths.h"
#include "gui/command_ids.h"

namespace zantric::gui {

QString helpAnchor(int context) {
    switch (context) {
        case kHelpMakeDictionary:
            return QStringLiteral("make-dictionary");
        case kHelpMergeDictionaries:
            return QStringLiteral("merge");
        case kHelpAddWord:
            return QStringLiteral("add-word");
        case kHelpRemoveWord:
            return QStringLiteral("remove-word");
        case kHelpSelectDictionaries:
            return QStringLiteral("select-dictionaries");
        default:
            return QStringLiteral("contents");
    }
}

QUrl helpUrl(int context) {
    QFile builtIn(QStringLiteral(":/help/zantric.html"));
    if (!builtIn.open(QIODevice::ReadOnly)) return {};
    const QByteArray page = builtIn.readAll();
    const std::string name =
        nativePath(replaceExtension(ConfigData::instance().helpFileName(), "html"));
    const QString fileName = QFileInfo(QString::fromStdString(name)).absoluteFilePath();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != page) {
        file.close();
        QFile out(fileName);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(page) != page.size()) {
            return {};
        }
    }
    QUrl url = QUrl::fromLocalFile(fileName);
    url.setFragment(helpAnchor(context));
    return url;
}

bool openHelp(int context) {
    const QUrl url = helpUrl(context);
    return !url.isEmpty() && QDesktopServices::openUrl(url);
}

}  // namespace zantric::gui
