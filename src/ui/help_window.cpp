#include "ui/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "model/lang_strings.h"

QString HelpFilePath(const QString& programDirPath)
{
    const QDir programDir(programDirPath.isEmpty() ? QCoreApplication::applicationDirPath() : programDirPath);
    const QDir besideProgram(programDir.filePath(QStringLiteral("help")));
    const QDir installed(QDir::cleanPath(programDir.filePath(QStringLiteral("../share/doc/gateway-workbench"))));
    const QString english = QStringLiteral("index.html");
    const QDir& folder = besideProgram.exists(english) || !installed.exists(english) ? besideProgram : installed;
    // The manual in the running language where there is one.
    const QString chinese = QStringLiteral("index_zh_CN.html");
    return folder.filePath(gw::ActiveLanguage() == Language::Chinese && folder.exists(chinese) ? chinese : english);
}

QTextBrowser* ShowHelpWindow(QWidget* owner, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return nullptr;
    static QPointer<QTextBrowser> window;
    if (!window || window->parentWidget() != owner) {
        delete window;
        window = new QTextBrowser(owner);
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("helpWindow"));
        window->setOpenExternalLinks(true);
        window->resize(760, 600);
    }
    window->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    window->setWindowTitle(window->documentTitle().isEmpty() ? QStringLiteral("Orvel") : window->documentTitle());
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
