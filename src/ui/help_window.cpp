#include "ui/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

QString HelpFilePath(const QString& programDirPath)
{
    const QDir programDir(programDirPath.isEmpty() ? QCoreApplication::applicationDirPath() : programDirPath);
    const QString besideProgram = programDir.filePath(QStringLiteral("help/index.html"));
    const QString installed =
        QDir::cleanPath(programDir.filePath(QStringLiteral("../share/doc/gateway-workbench/index.html")));
    return QFileInfo(besideProgram).isFile() || !QFileInfo(installed).isFile() ? besideProgram : installed;
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
