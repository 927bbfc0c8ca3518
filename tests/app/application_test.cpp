// How the program presents itself to the desktop: the names its desktop
// entry relies on, its version, and Qt's own texts in Japanese.
#include "app/application.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <sstream>

using namespace tomorine;

namespace {

// The value of `key` in the [Desktop Entry] group of our desktop entry.
QString EntryValue(const QString& key) {
    QFile file(QStringLiteral(TOMORINE_SOURCE_DIR "/packaging/tomorine.desktop"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("<no desktop entry>");
    }
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size());
        }
    }
    return QStringLiteral("<no %1>").arg(key);
}

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ConfigureApplication(*qApp);
    }

    void theDesktopEntryNamesTheWindow() {
        // X11 window class and Wayland app id.
        QCOMPARE(EntryValue("StartupWMClass"), QCoreApplication::applicationName());
        QCOMPARE(QGuiApplication::desktopFileName() + ".desktop", QString("tomorine.desktop"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), EntryValue("Name"));
    }

    void versionAndHelpNeedNoWindow() {
        std::ostringstream out;
        char program[] = "tomorine";
        char version[] = "--version";
        char* argv[] = {program, version, nullptr};
        QCOMPARE(AnswerCommandLine(2, argv, out), std::optional<int>(0));
        QCOMPARE(QString::fromStdString(out.str()),
                 QString("tomorine %1\n").arg(QStringLiteral(TOMORINE_VERSION)));
        QCOMPARE(AnswerCommandLine(1, argv, out), std::optional<int>());
    }
};

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
