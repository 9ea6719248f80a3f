#pragma once
// "Content": the workbench's manual, an HTML page shown in a window of its own. A built program
// finds it in help/index.html beside it, an installed one in ../share/doc/gateway-workbench/.

#include <QString>

class QTextBrowser;
class QWidget;

// Where the manual lies: help/index.html in the program's directory or, when that is missing,
// the installed ../share/doc/gateway-workbench/index.html; in a Chinese session the Chinese
// manual index_zh_CN.html beside it, where there is one. programDirPath: the program's
// directory, empty for the running program's.
QString HelpFilePath(const QString& programDirPath = {});
// Shows the manual at path in the help window (made on first use, reused afterwards) and
// returns its browser. Nothing happens, and none is returned, when the file is missing.
QTextBrowser* ShowHelpWindow(QWidget* owner, const QString& path);
