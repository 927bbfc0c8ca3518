// Saves a picture of the main window with a few entries listed, for a look
// at the layout: tomorine-screenshot OUT.png [htmlExportDialog|mergeDialog|linkCheckDialog|box]
// (run under Xvfb by scripts/screenshot). With a window named, the picture is of the screen round
// that window, frame and title bar included, as the window manager drew them.
#include "main_window_harness.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/merge_dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

using namespace tomorine;
using namespace tomorine::test;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        return 2;
    }
    MainWindowHarness h;
    WriteEntries(
        h.defaultDataFile(),
        {MakeEntry(1, u"https://www.jma.go.jp/", u"気象庁｜天気予報", u"天気 ニュース"),
         MakeEntry(2, u"https://www3.nhk.or.jp/news/", u"NHK ニュース", u"ニュース"),
         MakeEntry(7, u"https://doc.qt.io/qt-6/", u"Qt 6 ドキュメント", u"Qt C++ 技術"),
         MakeEntry(12, u"https://www.aozora.gr.jp/", u"青空文庫　Aozora Bunko", u"本 文学"),
         MakeEntry(345, u"https://cookpad.com/", u"クックパッド - 料理レシピ", u"料理 レシピ"),
         MakeEntry(1024, u"https://www.japan-guide.com/", u"旅行ガイド 日本", u"旅行")});
    if (!h.load()) {
        return 1;
    }
    h.window().show();
    h.window().searchButton->click();
    h.window().resultList->setCurrentRow(2);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    QWidget* shown = &h.window();
    if (name == "htmlExportDialog" || name == "mergeDialog") {
        shown = name == "htmlExportDialog" ? static_cast<QWidget*>(h.window().htmlExportDialog)
                                           : h.window().mergeDialog.data();
        shown->show();
    } else if (name == "linkCheckDialog") {
        // The look of a running check, without a check (no request leaves).
        LinkCheckDialog& linkCheckDialog = *h.window().linkCheckDialog;
        linkCheckDialog.statusBar->showMessage(QStringLiteral("[開始]:[7]:<12>:Qt 6 ドキュメント"));
        linkCheckDialog.progressLabel->setText(QStringLiteral("3 / 6"));
        linkCheckDialog.progressBar->setRange(0, 6);
        linkCheckDialog.progressBar->setValue(3);
        linkCheckDialog.deadLinkList->setFocus();
        linkCheckDialog.QDialog::show();
        shown = &linkCheckDialog;
    } else if (name == "box") {
        MessageBoxSeam::stopRecording();
        QTimer::singleShot(0, [&] { MessageBox(&h.window(), "作成完了", MessageStyle::Ok); });
    } else {
        h.window().resultList->setFocus();
    }
    bool saved = false;
    QEventLoop loop;
    QTimer::singleShot(name.isEmpty() ? 800 : 2000, [&] {
        if (name.isEmpty()) {
            saved = h.window().grab().save(out);
        } else {
            QWidget* window = name == "box" ? QApplication::activeModalWidget() : shown;
            const QRect frame = window->frameGeometry().adjusted(-8, -8, 8, 8);
            saved = QGuiApplication::primaryScreen()->grabWindow(0).copy(frame).save(out);
            window->close();
        }
        loop.quit();
    });
    loop.exec();
    return saved ? 0 : 1;
}
