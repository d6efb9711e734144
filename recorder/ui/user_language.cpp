#include "user_language.h"

#include "recorder/ports/translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kelbo::ui {

QStringList translationFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder + "/translations", programFolder + "/../share/kelbo/translations"};
}

bool loadUserLanguage(QCoreApplication& app) {
    const QLocale locale;
    // Qt's own texts first: a translator installed later is asked first.
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    auto* own = new QTranslator(&app);
    bool found = false;
    for (const QString& folder : translationFolders()) {
        // Only kelbo_<language>.qm: the untranslated template has no file.
        if (QDir(folder).exists() && own->load(locale, "kelbo", "_", folder) &&
            !own->language().isEmpty()) {
            found = QCoreApplication::installTranslator(own);
            break;
        }
    }
    if (!found) delete own;

    setTranslator([](const char* context, const char* text) {
        return QCoreApplication::translate(context, text).toStdString();
    });
    return found;
}

}  // namespace kelbo::ui
