#pragma once
// What the program's windows take from the platform beyond their own components: the
// standard dialogs and buttons in French, and a menu bar that the keyboard reaches.
class QApplication;

// Loads Qt's own French translations (file dialogs, message box buttons, edit menus);
// false when they are not installed, the texts then staying Qt's English ones.
bool InstallFrenchTranslations(QApplication& app);

// Gives the application a style whose menu bar answers the keyboard as the platform's
// does: Alt highlights it, the arrows move along it, and Enter opens the highlighted
// menu or runs the highlighted item (such as "?", which has no menu of its own).
void InstallKeyboardMenuBar(QApplication& app);
