#pragma once
// "Content": the workbench's manual, an HTML page shipped next to the program
// (help/index.html in the program's directory), shown in a window of its own.

#include <QString>

class QTextBrowser;
class QWidget;

// Where the manual lies: help/index.html in the program's directory.
QString HelpFilePath();
// Shows the manual at path in the help window (made on first use, reused afterwards) and
// returns its browser. Nothing happens, and none is returned, when the file is missing.
QTextBrowser* ShowHelpWindow(QWidget* owner, const QString& path);
