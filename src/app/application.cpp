#include "app/application.h"

#include "mainwindow/qt_translations.h"

#include <QApplication>
#include <ostream>
#include <string_view>

namespace tomorine {

void ConfigureApplication(QApplication& app) {
    // Qt takes the window class from the application name.
    QApplication::setApplicationName(QString::fromLatin1(kDesktopName));
    QApplication::setApplicationDisplayName(QStringLiteral("トモリネ"));
    QApplication::setApplicationVersion(QStringLiteral(TOMORINE_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopName));
    LoadQtTranslations(app);
}

std::optional<int> AnswerCommandLine(int argc, char** argv, std::ostream& out) {
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string_view arg = argv[1];
    if (arg == "--version") {
        out << "tomorine " << TOMORINE_VERSION << '\n';
        return 0;
    }
    if (arg == "--help") {
        out << "使い方: tomorine [--version]\n"
               "トモリネのウィンドウを開きます。データファイルは設定 (トモリネ.ini) の "
               "DATAFILE、既定では ~/.local/share/tomorine/トモリネ.xls です。\n"
               "コマンドラインからは tomorine-cli を使います。\n";
        return 0;
    }
    return std::nullopt;
}

} // namespace tomorine
