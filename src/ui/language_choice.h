#pragma once
// The language the workbench runs in: the one picked under View > Language (kept in the
// settings), else the system locale's. Both string tables are built in; a change takes effect
// when the program is started again, because the configuration's item texts are made at start.

class CUserPrompt;
class QMenu;
class QWidget;

// Sets the running language from the settings or the system locale.
void ApplyLanguageChoice();
// "Language" with "English" and "Chinese"; picking one keeps it and tells the user that it
// takes effect at the next start.
QMenu* CreateLanguageMenu(QWidget* parent, CUserPrompt& prompt);
