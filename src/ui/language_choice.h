#pragma once
// The language the workbench runs in: the one picked under View > Language (kept in the
// settings), else the system locale's. Both string tables are built in; a change takes effect
// when the program is started again, because the configuration's item texts are made at start.
// The desktop's own texts come from its Qt Linguist translation, Qt's buttons and dialogs from
// Qt's own.

class CUserPrompt;
class QMenu;
class QWidget;

// Sets the running language from the settings or the system locale.
void ApplyLanguageChoice();
// Installs the translations of the running language into the application (the desktop's and
// Qt's own), replacing those of an earlier call; English needs none. False when a translation
// of the desktop is missing.
bool InstallTranslations();
// "Language" with "English" and "Chinese"; picking one keeps it and tells the user, in the
// language being left, that it takes effect at the next start.
QMenu* CreateLanguageMenu(QWidget* parent, CUserPrompt& prompt);
