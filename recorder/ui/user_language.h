#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace kelbo::ui {

// The folders searched for Kelbo's translations (kelbo_<language>.qm), in
// order: where the build puts them beside its programs, and where
// installing puts them beside the program's folder (share/kelbo/translations).
QStringList translationFolders();

// Shows the program in the user's language (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG): Kelbo's own translation and Qt's (its standard buttons and
// dialogs), and the texts of the layers below the widgets too. Where there
// is no translation for the language, everything stays English, without a
// word. Call once, after the application object is made. Returns whether
// Kelbo's own translation was found.
bool loadUserLanguage(QCoreApplication& app);

}  // namespace kelbo::ui
