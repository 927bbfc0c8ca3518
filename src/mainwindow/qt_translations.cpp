#include "mainwindow/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tomorine {

bool LoadQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // qt_ja is the catalogue that pulls in qtbase_ja and the other modules'.
    if (!translator->load(QStringLiteral("qt_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tomorine
